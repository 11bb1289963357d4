// An archive backup run through the command-line tool: the archive is
// written, the versions rotate and the version list lands in Backup.ini.

#include "test_env.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

const char* const kUid = "ZIP202403051430001111";

class CliZipRun : public ::testing::Test {
protected:
    CliZipRun() {
        sandbox.writeFile("src/a.txt", "hello");
        sandbox.writeFile("src/sub/b.txt", "x");
        QDir().mkpath(sandbox.file("out"));
        const QByteArray ini = QByteArray("\xEF\xBB\xBF[ZipList]\r\n") + kUid + "=Docs\r\n[" + kUid +
                               "_st]\r\nFilename=Backup.zip\r\nFolder=" + sandbox.file("out/").toUtf8() +
                               "\r\nFVType=1\r\nFVValue=2\r\n[" + kUid + "]\r\nf_1=" + sandbox.file("src/").toUtf8() +
                               "\r\ni_1=1\r\n";
        sandbox.writeFile("data/Backup.ini", ini);
    }

    int Run(QString* output = nullptr) const {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(NORVANE_CLI_PATH, {"--data-dir", sandbox.file("data"), "run", kUid});
        if (!process.waitForFinished(120000))
            return -1;
        if (output)
            *output = QString::fromUtf8(process.readAll());
        return process.exitCode();
    }

    QStringList OutNames() const {
        QStringList names = QDir(sandbox.file("out")).entryList(QDir::Files);
        names.sort();
        return names;
    }

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

} // namespace
