// norvane-backup-cli serve: the engine resident without windows, and the
// tool's runs against the data folder it holds.

#include "os/file_lock.h"
#include "resident_test_support.h"

#include <csignal>

namespace {

const QString kScheduled = "SNK202401020304050011";
const QString kByHand = "SNK202401020304050012";
const QByteArray kEntry = "CRN202401020304050099";

// An every-minute entry for the scheduled profile.
QByteArray EveryMinute() {
    return "[CronList]\r\n" + kEntry + "=" + kScheduled.toUtf8() + "\r\n[" + kEntry +
           "]\r\nRepeat=1\r\nIntervalValue=1\r\nDateTime=0\r\nExpired=1\r\nEnabled=1\r\nLastAction=\r\n"
           "DaysRepeat=1000000\r\nDaysRepeatTime=000000\r\n";
}

// A minute of the schedule passes in a second of the test.
const QStringList kFastClock{"NORVANE_TEST_TIME_SCALE=60"};

using Serve = ResidentProcessTest;

void Terminate(QProcess& process) {
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130);
}

TEST_F(Serve, RunsAnEveryMinuteEntryAgainAndAgainAndSavesAtTheEnd) {
    WriteSettings({{kScheduled, "Scheduled", {}}}, EveryMinute());
    QProcess& serve = StartServe(kFastClock);
    ASSERT_TRUE(ChannelUp());
    ASSERT_TRUE(WaitFor([&] { return Synced(kScheduled); }));
    // Fired once more a minute later: the storage copy is made again.
    ASSERT_TRUE(QFile::remove(Dst(kScheduled) + "file.txt"));
    EXPECT_TRUE(WaitFor([&] { return Synced(kScheduled); }));
    Terminate(serve);
    const QByteArray ini = Settings();
    EXPECT_FALSE(ini.contains("LastAction=\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("[" + kEntry + "]\r\nRepeat=1\r\nIntervalValue=1\r\n")) << ini.toStdString();
}

TEST_F(Serve, WithoutTheClockHookAnEveryMinuteEntryWaitsItsMinute) {
    WriteSettings({{kScheduled, "Scheduled", {}}}, EveryMinute());
    QProcess& serve = StartServe();
    ASSERT_TRUE(ChannelUp());
    QThread::msleep(3000);
    EXPECT_FALSE(Synced(kScheduled));
    Terminate(serve);
}

TEST_F(Serve, ToolRunAgainstTheHeldFolderIsRunByServeAndLosesNoChange) {
    WriteSettings({{kScheduled, "Scheduled", {}}, {kByHand, "By hand", {}}}, EveryMinute());
    // What a run prints when it runs on its own, for the same profile.
    const Result local = Cli({"run", kByHand});
    ASSERT_EQ(local.status, 0) << local.err.toStdString();
    ASSERT_TRUE(QFile::remove(Dst(kByHand) + "file.txt"));

    QProcess& serve = StartServe(kFastClock);
    ASSERT_TRUE(ChannelUp());
    ASSERT_TRUE(WaitFor([&] { return Synced(kScheduled); }));
    const Result forwarded = Cli({"run", kByHand});
    EXPECT_EQ(forwarded.status, 0) << forwarded.err.toStdString();
    EXPECT_TRUE(Synced(kByHand));
    const QStringList localLines = local.out.split('\n');
    const QStringList forwardedLines = forwarded.out.split('\n');
    ASSERT_EQ(forwardedLines.size(), localLines.size()) << forwarded.out.toStdString();
    EXPECT_EQ(forwardedLines[0], localLines[0]);
    EXPECT_EQ(forwardedLines[1], localLines[1]);
    EXPECT_TRUE(forwardedLines[2].startsWith("Last sync: ")) << forwarded.out.toStdString();
    // The run's last-run time is in the file when the tool returns.
    const QByteArray afterRun = Settings();
    const QByteArray byHandSection = "[" + kByHand.toUtf8() + "_st]\r\nDelToRecycle=0\r\nAutoMode=0\r\nLastActive=";
    EXPECT_TRUE(afterRun.contains(byHandSection)) << afterRun.toStdString();

    // An unknown profile runs nothing, as without serve.
    const Result unknown = Cli({"run", kByHand, "SNK999"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains("unknown profile UID: SNK999"));

    Terminate(serve);
    // Both profiles, the schedule entry and everything else are still there.
    const QByteArray ini = Settings();
    EXPECT_TRUE(ini.contains(byHandSection)) << ini.toStdString();
    EXPECT_TRUE(ini.contains("[" + kScheduled.toUtf8() + "_st]\r\nDelToRecycle=0\r\nAutoMode=0\r\nLastActive="));
    EXPECT_TRUE(ini.contains("[CronList]\r\n" + kEntry + "=" + kScheduled.toUtf8() + "\r\n"));
    EXPECT_FALSE(ini.contains("LastAction=\r\n"));
    const Result list = Cli({"list"});
    EXPECT_EQ(list.out, kScheduled + "\tsync\tScheduled\n" + kByHand + "\tsync\tBy hand\n");
}

TEST_F(Serve, ToolRunAgainstAFolderHeldWithoutAChannelEndsWithThreeRunningNothing) {
    WriteSettings({{kByHand, "By hand", {}}});
    const QByteArray before = Settings();
    os::FileLock holder;
    std::string error;
    ASSERT_EQ(holder.TryLock((DataFolder() + "Backup.lock").toStdString(), error), os::FileLock::Result::Taken);
    const Result run = Cli({"run", kByHand});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.err.contains("in use by another running instance")) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_FALSE(Synced(kByHand));
    EXPECT_EQ(Settings(), before);
    // A second serve finds the folder held as well.
    EXPECT_EQ(Cli({"serve"}).status, 3);
    // Once the holder is gone, the run is local again.
    holder.Unlock();
    EXPECT_EQ(Cli({"run", kByHand}).status, 0);
    EXPECT_TRUE(Synced(kByHand));
}

TEST_F(Serve, InterruptedToolRunStopsItsRunInServe) {
    WriteSettings({{kByHand, "Paused", {"[taPause]", "Pause=600"}}, {kScheduled, "Next", {}}});
    QProcess& serve = StartServe();
    ASSERT_TRUE(ChannelUp());
    QProcess& tool = Start(NORVANE_CLI_PATH, {"--data-dir", DataFolder(), "run", kByHand});
    QThread::msleep(1000);
    ASSERT_EQ(tool.state(), QProcess::Running); // waiting for the paused run
    ::kill(static_cast<pid_t>(tool.processId()), SIGINT);
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 130);
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardOutput()).startsWith("Paused\n"));
    // serve goes on and runs the next request at once: the paused run is gone.
    const Result next = Cli({"run", kScheduled});
    EXPECT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_TRUE(Synced(kScheduled));
    EXPECT_FALSE(Synced(kByHand));
    EXPECT_EQ(serve.state(), QProcess::Running);
    Terminate(serve);
}

TEST_F(Serve, StoppingServeAnswersTheToolRunItWasRunning) {
    WriteSettings({{kByHand, "Paused", {"[taPause]", "Pause=600"}}});
    QProcess& serve = StartServe();
    ASSERT_TRUE(ChannelUp());
    QProcess& tool = Start(NORVANE_CLI_PATH, {"--data-dir", DataFolder(), "run", kByHand});
    QThread::msleep(1000);
    ASSERT_EQ(tool.state(), QProcess::Running);
    Terminate(serve);
    ASSERT_TRUE(tool.waitForFinished(30000));
    // The run was stopped there, as by a signal; it is not "nothing was run".
    EXPECT_EQ(tool.exitCode(), 130);
    const QString out = QString::fromUtf8(tool.readAllStandardOutput());
    EXPECT_TRUE(out.startsWith("Paused\n")) << out.toStdString();
    EXPECT_FALSE(Synced(kByHand));
}

TEST_F(Serve, LockIsNotInheritedByProgramsThatScriptsStart) {
    // A run's script may start a program that outlives serve; the folder
    // must be free once serve has ended.
    WriteSettings({{kByHand, "By hand", {"[taExecute]", "File=/bin/sleep", "Cmd=20"}}});
    QProcess& serve = StartServe();
    ASSERT_TRUE(ChannelUp());
    EXPECT_EQ(Cli({"run", kByHand}).status, 0);
    Terminate(serve);
    os::FileLock probe;
    std::string error;
    EXPECT_EQ(probe.TryLock((DataFolder() + "Backup.lock").toStdString(), error), os::FileLock::Result::Taken);
}

} // namespace
