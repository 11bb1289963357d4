#include "ini/ini_values.h"

#include "test_env.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CliResult {
    int exitCode = -1;
    QByteArray out, err;
};

CliResult RunCli(const QStringList& args) {
    QProcess cli;
    cli.start(NORVANE_CLI_PATH, args);
    cli.waitForFinished(60000);
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, cli.readAllStandardOutput(),
            cli.readAllStandardError()};
}

class CliListExportTest : public ::testing::Test {
protected:
    void WriteSettings(const QByteArray& body) { sandbox.writeFile("data/Backup.ini", body); }
    QStringList Args(const QStringList& rest) const { return QStringList{"--data-dir", sandbox.file("data")} + rest; }
    TestSandbox sandbox;
};

const char kSyncA[] = "SNK202401011200000001";
const char kZipB[] = "ZIP202401011200000002";
const char kSyncC[] = "SNK202401011200000003";

TEST_F(CliListExportTest, ListShowsStoredOrderFirstThenTheRestInLoadOrder) {
    const QString positions = PackList({kSyncC, "SNK209901011200009999", kZipB});
    WriteSettings(QByteArray("[Main]\r\nLanguage=Eng\r\nPositions=") + positions.toLatin1() +
                  "\r\n[SyncList]\r\n" + kSyncA + "=Alpha\r\n" + kSyncC + "=Gamma\r\n[ZipList]\r\n" + kZipB +
                  "=Beta\r\n");
    const CliResult r = RunCli(Args({"list"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray(kSyncC) + "\tsync\tGamma\n" + kZipB + "\tzip\tBeta\n" + kSyncA + "\tsync\tAlpha\n");
}

TEST_F(CliListExportTest, ExportPrintsTheSectionsOfAFullSave) {
    WriteSettings(QByteArray("\xEF\xBB\xBF[SyncList]\r\n") + kSyncA +
                  "=Docs\r\n"
                  "[" + kSyncA + "_st]\r\nLastActive=20241201083000\r\nCheckType=1\r\nDelToRecycle=0\r\n"
                  "[" + kSyncA + "]\r\nf1_1=/home/u/Docs/\r\nf2_1=/mnt/b/Docs/\r\n"
                  "[" + kSyncA + "_Ex]\r\nv7=*.tmp\r\nx=  /Cache/  \r\n");
    const CliResult r = RunCli(Args({"export", kSyncA}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray u = kSyncA;
    // Exclusions, scripts (two empty packed lists), then the list entry, the
    // settings in their fixed order and the folder pairs.
    const QByteArray expected = "[" + u + "_Ex]\r\nv0=*.tmp\r\nv1=/Cache/\r\n"
                                "[" + u + "_st]\r\nProfileScript_Before=789C030000000001\r\n"
                                "ProfileScript_After=789C030000000001\r\n"
                                "LastActive=20241201083000\r\nCheckType=1\r\nDelToRecycle=0\r\nAutoMode=1\r\n"
                                "SkipHiddenSystem=1\r\nSkipBigFiles=0\r\nBigFileSize=2000\r\nDiskSourceID=\r\n"
                                "DiskStorageID=\r\n"
                                "[SyncList]\r\n" + u + "=Docs\r\n"
                                "[" + u + "]\r\nf1_1=/home/u/Docs/\r\nf2_1=/mnt/b/Docs/\r\n";
    EXPECT_EQ(r.out, expected);
}

TEST_F(CliListExportTest, UnknownUidAndBadCommandLinesExitWithTwoAndRunNothing) {
    WriteSettings(QByteArray("[SyncList]\r\n") + kSyncA + "=Docs\r\n");
    const QList<QStringList> cases = {Args({"export", "SNK000"}), Args({"export"}), Args({"frobnicate"}),
                                      Args({}), {"--no-such-option", "list"}, Args({"list", "extra"})};
    for (const QStringList& args : cases) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(' ').toStdString();
    }
    // Nothing was written.
    EXPECT_EQ(sandbox.readFile("data/Backup.ini"), QByteArray("[SyncList]\r\n") + kSyncA + "=Docs\r\n");
}

TEST_F(CliListExportTest, MissingSettingsFileListsNothing) {
    const CliResult r = RunCli(Args({"list"}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty());
}

} // namespace
