#include "ini/ini_values.h"

#include "test_env.h"
#include "zero_stream.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

const char kFirst[] = "SNK202401011200000001";
const char kSecond[] = "SNK202401011200000002";

// Runs the tool with its address space capped, so that inflating a packed
// value without bound fails at once instead of taking the machine's memory.
QProcess::ExitStatus RunCapped(const QStringList& args, int& exitCode, QByteArray& out) {
    QProcess cli;
    cli.start(QStringLiteral("prlimit"), QStringList{"--as=1610612736", "--", NORVANE_CLI_PATH} + args);
    cli.waitForFinished(120000);
    exitCode = cli.exitCode();
    out = cli.readAllStandardOutput();
    return cli.exitStatus();
}

TEST(CliSettingsFile, PackedValuesThatInflateToGigabytesReadAsEmptyAtStart) {
    if (QStandardPaths::findExecutable(QStringLiteral("prlimit")).isEmpty())
        GTEST_SKIP() << "prlimit (util-linux) is not installed";
    TestSandbox sandbox;
    // 2 GiB of zeros in 4 MiB of hex, as the profile order and as the first
    // profile's before list; the second profile's list is a real one.
    const QByteArray bomb = ZlibStreamOfZeros(2 << 10).toHex().toUpper();
    const QByteArray realList = PackList({"[taPause]", "Pause=5"}).toLatin1();
    sandbox.writeFile("data/Backup.ini", QByteArray("[Main]\r\nLanguage=Eng\r\nPositions=") + bomb +
                                             "\r\n[SyncList]\r\n" + kFirst + "=First\r\n" + kSecond +
                                             "=Second\r\n[" + kFirst + "_st]\r\nProfileScript_Before=" + bomb +
                                             "\r\n[" + kSecond + "_st]\r\nProfileScript_Before=" + realList + "\r\n");
    const QStringList data{"--data-dir", sandbox.file("data")};

    int exitCode = -1;
    QByteArray out;
    ASSERT_EQ(RunCapped(data + QStringList{"list"}, exitCode, out), QProcess::NormalExit);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(out, QByteArray(kFirst) + "\tsync\tFirst\n" + kSecond + "\tsync\tSecond\n");

    ASSERT_EQ(RunCapped(data + QStringList{"export", kFirst}, exitCode, out), QProcess::NormalExit);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(out.contains("\r\nProfileScript_Before=" + PackList({}).toLatin1() + "\r\n"))
        << out.left(300).toStdString();
    ASSERT_EQ(RunCapped(data + QStringList{"export", kSecond}, exitCode, out), QProcess::NormalExit);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(out.contains("\r\nProfileScript_Before=" + realList + "\r\n")) << out.left(300).toStdString();
}

} // namespace
