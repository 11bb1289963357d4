// An archive backup run through the command-line tool: the archive is
// written, the versions rotate and the version list lands in Backup.ini; what
// a run cannot do or leaves out ends it with an error that says so.

#include "cli_sandbox.h"
#include "unreachable_sources.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <cstring>

namespace {

const char* const kUid = "ZIP202403051430001111";

// The stored names of an archive, read back with Python's zipfile (every
// entry's CRC checked); nullopt when python3 is missing or the archive is bad.
std::optional<QStringList> ZipNames(const QString& path) {
    if (QStandardPaths::findExecutable("python3").isEmpty())
        return std::nullopt;
    QProcess python;
    python.start("python3", {"-c",
                             "import sys, zipfile\n"
                             "z = zipfile.ZipFile(sys.argv[1])\n"
                             "assert z.testzip() is None\n"
                             "print('\\n'.join(z.namelist()))\n",
                             path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

class CliZipRun : public ::testing::Test {
protected:
    CliZipRun() {
        sandbox.writeFile("src/a.txt", "hello");
        sandbox.writeFile("src/sub/b.txt", "x");
        QDir().mkpath(sandbox.file("out"));
        WriteIni("Backup.zip");
    }

    void WriteIni(const QByteArray& fileTemplate, const QString& source = {}) const {
        const QString src = source.isEmpty() ? sandbox.file("src/") : source;
        const QByteArray ini = QByteArray("\xEF\xBB\xBF[ZipList]\r\n") + kUid + "=Docs\r\n[" + kUid +
                               "_st]\r\nFilename=" + fileTemplate + "\r\nFolder=" + sandbox.file("out/").toUtf8() +
                               "\r\nFVType=1\r\nFVValue=2\r\n[" + kUid + "]\r\nf_1=" + src.toUtf8() +
                               "\r\ni_1=1\r\n";
        sandbox.writeFile("data/Backup.ini", ini);
    }

    int Run(QString* output = nullptr, bool asNobody = false) const {
        return RunCliIn(sandbox, {"run", kUid}, output, asNobody);
    }

    QStringList OutNames() const { return FileNamesIn(sandbox.file("out")); }

    TestSandbox sandbox;
};

TEST_F(CliZipRun, RunsRotateTheArchivesAndStoreTheVersions) {
    QString output;
    ASSERT_EQ(Run(&output), 0) << output.toStdString();
    EXPECT_TRUE(output.startsWith("Docs\n")) << output.toStdString();
    ASSERT_EQ(Run(), 0);
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(OutNames(), QStringList({"Backup[1].zip", "Backup[2].zip"}));
    const QString ini = QString::fromUtf8(sandbox.readFile("data/Backup.ini"));
    EXPECT_TRUE(ini.contains("Name_0=" + sandbox.file("out/Backup[1].zip"))) << ini.toStdString();
    EXPECT_TRUE(ini.contains("Name_1=" + sandbox.file("out/Backup[2].zip"))) << ini.toStdString();
    EXPECT_FALSE(ini.contains("Name_2="));
    EXPECT_TRUE(ini.contains("FVLastIndex=2"));
    if (QStandardPaths::findExecutable("unzip").isEmpty())
        GTEST_SKIP() << "unzip is not installed";
    QProcess unzip;
    unzip.start("unzip", {"-t", "-qq", sandbox.file("out/Backup[2].zip")});
    ASSERT_TRUE(unzip.waitForFinished(60000));
    EXPECT_EQ(unzip.exitCode(), 0);
}

TEST_F(CliZipRun, FailedRunEndsWithStatusOne) {
    // A file holds the name of the target folder.
    QDir(sandbox.file("out")).removeRecursively();
    sandbox.writeFile("out", "not a folder");
    QString output;
    EXPECT_EQ(Run(&output), 1) << output.toStdString();
    EXPECT_EQ(sandbox.readFile("out"), "not a folder");
}

TEST_F(CliZipRun, AFolderThatCannotBeListedIsAnErrorThatNamesIt) {
    if (QStandardPaths::findExecutable("python3").isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    sandbox.writeFile("src/locked/secret.txt", "s");
    GiveSandboxToNobody(sandbox);
    SetMode(sandbox.file("src/locked"), 0);
    QString output;
    const int status = Run(&output, true);
    SetMode(sandbox.file("src/locked"), 0755);
    EXPECT_EQ(status, 1) << output.toStdString();
    EXPECT_TRUE(output.contains(sandbox.file("src/locked"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QString::fromUtf8(std::strerror(EACCES)))) << output.toStdString();
    // The archive is still written with everything else.
    const std::optional<QStringList> names = ZipNames(sandbox.file("out/Backup.zip"));
    ASSERT_TRUE(names);
    EXPECT_TRUE(names->contains("a.txt"));
    EXPECT_TRUE(names->contains("sub/b.txt"));
    // The folder is left out, not stored as an empty folder it never was.
    EXPECT_FALSE(names->contains("locked/")) << names->join(' ').toStdString();
}

TEST_F(CliZipRun, AWriterFailureKeepsItsCauseInTheErrorText) {
    GiveSandboxToNobody(sandbox);
    // The target folder exists but the user may not create files in it.
    SetMode(sandbox.file("out"), 0555);
    QString output;
    const int status = Run(&output, true);
    SetMode(sandbox.file("out"), 0755);
    EXPECT_EQ(status, 1) << output.toStdString();
    EXPECT_TRUE(output.contains("Error creating archive.")) << output.toStdString();
    EXPECT_TRUE(output.contains(sandbox.file("out/"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QString::fromUtf8(std::strerror(EACCES)))) << output.toStdString();
    EXPECT_TRUE(OutNames().isEmpty());
}

TEST_F(CliZipRun, AnArchiveFolderThatCannotBeMadeIsNamedWithItsReason) {
    ASSERT_NO_FATAL_FAILURE(GiveSandboxToNobody(sandbox));
    WriteIni("new/Backup.zip");
    SetMode(sandbox.file("out"), 0555);
    QString output;
    const int status = Run(&output, true);
    SetMode(sandbox.file("out"), 0755);
    EXPECT_EQ(status, 1) << output.toStdString();
    EXPECT_TRUE(output.contains(sandbox.file("out/new/: ") + QString::fromUtf8(std::strerror(EACCES))))
        << output.toStdString();
    EXPECT_FALSE(QFile::exists(sandbox.file("out/new")));
}

TEST_F(CliZipRun, ASourceThatCannotBeReachedIsNamedWithItsReason) {
    const UnreachableSources unreachable(sandbox);
    ASSERT_FALSE(::testing::Test::HasFailure());
    for (const UnreachableSources::Case& c : unreachable.Cases()) {
        SCOPED_TRACE(c.source.toStdString());
        WriteIni("Backup.zip", c.source);
        QString output;
        EXPECT_EQ(Run(&output, true), 1) << output.toStdString();
        EXPECT_TRUE(output.contains(c.expected)) << output.toStdString();
    }
    EXPECT_TRUE(OutNames().isEmpty());
}

TEST_F(CliZipRun, NameTemplatesStayInsideTheTargetFolder) {
    for (const char* fileTemplate : {"../escaped.zip", "/../../escaped.zip", "sub/../../escaped.zip"}) {
        WriteIni(fileTemplate);
        QString output;
        EXPECT_EQ(Run(&output), 0) << fileTemplate << output.toStdString();
        EXPECT_FALSE(QFile::exists(sandbox.file("escaped.zip"))) << fileTemplate;
        EXPECT_FALSE(QFile::exists(sandbox.path() + "/../escaped.zip")) << fileTemplate;
        QFile::remove(sandbox.path() + "/../escaped.zip");
    }
    EXPECT_TRUE(QFile::exists(sandbox.file("out/escaped.zip")));
}

TEST_F(CliZipRun, ANameLongerThanTheFileSystemAllowsIsSaidSo) {
    // 200 two-byte characters: within the template's character limit, beyond 255 bytes.
    WriteIni(QString(200, QChar(0x0416)).toUtf8() + ".zip");
    QString output;
    EXPECT_EQ(Run(&output), 1) << output.toStdString();
    EXPECT_TRUE(output.contains("The archive name is longer than the file system allows.")) << output.toStdString();
    EXPECT_FALSE(output.contains("Error deleting destination file.")) << output.toStdString();
    EXPECT_TRUE(OutNames().isEmpty());
}

} // namespace
