// A folder archiving run through the command-line tool: analyse lists the
// subfolders with their states and changes nothing, run archives the changed
// ones, and a subfolder that cannot be read fails the run, names itself and
// keeps its previous archive.

#include "cli_sandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const char* const kUid = "FZP202403051430001111";

class CliFolderZipRun : public ::testing::Test {
protected:
    CliFolderZipRun() {
        sandbox.writeFile("src/Alpha/a.txt", "alpha");
        sandbox.writeFile("src/Beta/sub/b.txt", "beta");
        const QByteArray ini = QByteArray("\xEF\xBB\xBF[ZipFolderList]\r\n") + kUid + "=Projects\r\n[" + kUid +
                               "_st]\r\nFolderZip=" + sandbox.file("src/").toUtf8() +
                               "\r\nSaveTo=" + sandbox.file("out/").toUtf8() + "\r\nCompression=6\r\n";
        sandbox.writeFile("data/Backup.ini", ini);
    }

    int Cli(const QStringList& command, QString* output = nullptr, bool asNobody = false) const {
        return RunCliIn(sandbox, command, output, asNobody);
    }

    QString Identity(const QString& relative) const {
        struct stat st {};
        if (::lstat(QFile::encodeName(sandbox.file(relative)).constData(), &st) != 0)
            return {};
        return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
    }

    QStringList OutNames() const { return FileNamesIn(sandbox.file("out")); }

    TestSandbox sandbox;
};

TEST_F(CliFolderZipRun, AnalyseListsTheStatesAndRunArchivesTheChangedSubfolders) {
    QString output;
    ASSERT_EQ(Cli({"analyse", "--entries", kUid}, &output), 0) << output.toStdString();
    EXPECT_TRUE(output.startsWith("Projects\n")) << output.toStdString();
    EXPECT_TRUE(output.contains("Modified\tAlpha\n")) << output.toStdString();
    EXPECT_TRUE(output.contains("Modified\tBeta\n")) << output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(sandbox.file("out")));

    ASSERT_EQ(Cli({"run", kUid}, &output), 0) << output.toStdString();
    EXPECT_EQ(OutNames(), QStringList({"Alpha.zip", "Beta.zip"}));
    const QString ini = QString::fromUtf8(sandbox.readFile("data/Backup.ini"));
    EXPECT_TRUE(ini.contains("n_1=")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("n_2=")) << ini.toStdString();

    ASSERT_EQ(Cli({"analyse", "--entries", kUid}, &output), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("OK\tAlpha\n")) << output.toStdString();
    EXPECT_TRUE(output.contains("OK\tBeta\n")) << output.toStdString();
    EXPECT_TRUE(output.contains("There are no changes, no backup required.")) << output.toStdString();
}

TEST_F(CliFolderZipRun, MissingSourceEndsWithStatusOne) {
    ASSERT_TRUE(QDir(sandbox.file("src")).removeRecursively());
    QString output;
    EXPECT_EQ(Cli({"run", kUid}, &output), 1) << output.toStdString();
    EXPECT_TRUE(OutNames().isEmpty());
}

TEST_F(CliFolderZipRun, UnreadableSubfolderFailsTheRunAndKeepsItsPreviousArchive) {
    GiveSandboxToNobody(sandbox);

    QString output;
    ASSERT_EQ(Cli({"run", kUid}, &output, true), 0) << output.toStdString();
    const QString alphaBefore = Identity("out/Alpha.zip");
    const QString betaBefore = Identity("out/Beta.zip");
    ASSERT_FALSE(betaBefore.isEmpty());

    sandbox.writeFile("src/Alpha/new.txt", "new");
    sandbox.writeFile("src/Beta/sub/c.txt", "new too");
    SetMode(sandbox.file("src/Beta/sub"), 0);
    const int status = Cli({"run", kUid}, &output, true);
    SetMode(sandbox.file("src/Beta/sub"), 0755);
    EXPECT_EQ(status, 1) << output.toStdString();
    EXPECT_TRUE(output.contains(sandbox.file("src/Beta/sub"))) << output.toStdString();
    EXPECT_EQ(Identity("out/Beta.zip"), betaBefore);
    EXPECT_NE(Identity("out/Alpha.zip"), alphaBefore);
    EXPECT_EQ(OutNames(), QStringList({"Alpha.zip", "Beta.zip"}));

    // Readable again, the next run archives it.
    ASSERT_EQ(Cli({"run", kUid}, &output, true), 0) << output.toStdString();
    EXPECT_NE(Identity("out/Beta.zip"), betaBefore);
}

} // namespace
