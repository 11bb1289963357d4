// The instance channel between real processes: a later start hands its
// switches to the running instance (the desktop program under the offscreen
// platform, or the tool's serve) and ends.

#include "resident_test_support.h"

#include <csignal>

namespace {

const QString kFirst = "SNK202401020304050001";
const QString kSecond = "SNK202401020304050002";
const QStringList kLongPause{"[taPause]", "Pause=600"};

using InstanceChannel = ResidentProcessTest;

TEST_F(InstanceChannel, LaterStartForwardsProfileSwitchesAndEndsWithZero) {
    WriteSettings({{kFirst, "First", {}}, {kSecond, "Second", {}}});
    QProcess& first = StartDesktop({"/AUTORUN"});
    ASSERT_TRUE(ChannelUp());
    const Result later = Desktop({"/" + kFirst.toLower(), "/" + kSecond});
    EXPECT_EQ(later.status, 0) << later.err.toStdString();
    EXPECT_TRUE(WaitFor([&] { return Synced(kFirst) && Synced(kSecond); }));
    EXPECT_EQ(first.state(), QProcess::Running);
    // A start without parameters is answered too, and the first one stays.
    EXPECT_EQ(Desktop({}).status, 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(Desktop({"/CLOSE"}).status, 0);
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);
    // Its last-run times reached the file at the end.
    EXPECT_TRUE(Settings().contains("[" + kFirst.toUtf8() + "_st]\r\nDelToRecycle=0\r\nAutoMode=0\r\nLastActive="));
}

TEST_F(InstanceChannel, AbortAllAnswersOnlyAfterTheRunningTaskEnded) {
    WriteSettings({{kFirst, "Paused", kLongPause}, {kSecond, "Next", {}}});
    QProcess& serve = StartServe();
    ASSERT_TRUE(ChannelUp());
    ASSERT_EQ(Desktop({"/" + kFirst}).status, 0);
    // The first profile sits in its ten-minute pause; the abort ends it, and
    // only then the second is queued and the later start is answered.
    QThread::msleep(300);
    const Result abort = Desktop({"/ABORTALL", "/" + kSecond});
    EXPECT_EQ(abort.status, 0);
    EXPECT_FALSE(Synced(kFirst));
    EXPECT_TRUE(WaitFor([&] { return Synced(kSecond); }));
    EXPECT_EQ(serve.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(serve.processId()), SIGTERM);
    ASSERT_TRUE(serve.waitForFinished(60000));
    EXPECT_EQ(serve.exitCode(), 130);
}

TEST_F(InstanceChannel, AbortAllStopsTheRunBeforeAnswering) {
    WriteSettings({{kFirst, "Paused", kLongPause}});
    StartServe();
    ASSERT_TRUE(ChannelUp());
    ASSERT_EQ(Desktop({"/" + kFirst}).status, 0);
    QThread::msleep(300);
    // A tool run of the paused profile, forwarded, waits for that run: the
    // abort ends it, and the forwarded run reports the stop.
    QProcess& waiting = Start(NORVANE_CLI_PATH, {"--data-dir", DataFolder(), "run", kFirst});
    QThread::msleep(500);
    EXPECT_EQ(waiting.state(), QProcess::Running);
    EXPECT_EQ(Desktop({"/ABORTALL"}).status, 0);
    // Answered after the task ended: the waiting tool has its answer at once.
    ASSERT_TRUE(waiting.waitForFinished(30000));
    const QString out = QString::fromUtf8(waiting.readAllStandardOutput());
    EXPECT_TRUE(out.startsWith("Paused\n")) << out.toStdString();
    EXPECT_FALSE(Synced(kFirst));
}

TEST_F(InstanceChannel, CloseAfterAllEndsTheInstanceOnceTheQueueIsEmpty) {
    WriteSettings({{kFirst, "First", {"[taPause]", "Pause=1"}}, {kSecond, "Second", {}}});
    QProcess& serve = StartServe();
    ASSERT_TRUE(ChannelUp());
    EXPECT_EQ(Desktop({"/" + kFirst, "/" + kSecond, "/CLOSEAFTERALL"}).status, 0);
    ASSERT_TRUE(serve.waitForFinished(60000));
    EXPECT_EQ(serve.exitCode(), 0);
    EXPECT_TRUE(Synced(kFirst));
    EXPECT_TRUE(Synced(kSecond));
    EXPECT_TRUE(Settings().contains("[" + kSecond.toUtf8() + "_st]\r\nDelToRecycle=0\r\nAutoMode=0\r\nLastActive="));
}

TEST_F(InstanceChannel, KilledInstanceLeavesNothingThatStopsTheNextStart) {
    WriteSettings({{kFirst, "First", {}}});
    QProcess& killed = StartDesktop({"/AUTORUN"});
    ASSERT_TRUE(ChannelUp());
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(30000));
    ASSERT_TRUE(QFileInfo::exists(Channel())); // the socket of the killed instance stays behind

    QProcess& next = StartDesktop({"/AUTORUN"});
    ASSERT_TRUE(ChannelUp());
    EXPECT_EQ(next.state(), QProcess::Running); // it did not hand itself to the dead one
    EXPECT_EQ(Desktop({"/" + kFirst}).status, 0);
    EXPECT_TRUE(WaitFor([&] { return Synced(kFirst); }));
}

TEST_F(InstanceChannel, GarbageOnTheSocketChangesNothing) {
    WriteSettings({{kFirst, "First", {}}});
    QProcess& serve = StartServe();
    ASSERT_TRUE(ChannelUp());
    const QByteArray switchText = "/" + kFirst.toUtf8() + " ";
    const QByteArray garbage[] = {
        "hello",
        QByteArray("\x00\x00\x00\x03\xFF\xFF\xFF\xFF", 8) + switchText,             // size beyond the limit
        QByteArray("\x00\x00\x00\x03\x00\x00\x00\x05", 8) + "/SNK1",                // no closing zero
        QByteArray("\x00\x00\x00\x03\x00\x00\x00\x17", 8) + switchText.left(10) + '\0' + switchText.mid(10, 11) + '\0',
        QByteArray("\x00\x00\x00\x03\x00\x00\x00\x03", 8) + "\xC3\x28" + '\0',      // not UTF-8
        QByteArray("\x00\x00\x00\x03\x00\x00\x00\x40", 8) + switchText,             // cut short
    };
    for (const QByteArray& bytes : garbage) {
        QLocalSocket socket;
        socket.connectToServer(Channel());
        ASSERT_TRUE(socket.waitForConnected(5000));
        socket.write(bytes);
        socket.waitForBytesWritten(5000);
        socket.waitForReadyRead(300); // nothing comes back
        EXPECT_EQ(socket.bytesAvailable(), 0);
    }
    QThread::msleep(500);
    EXPECT_FALSE(Synced(kFirst));
    EXPECT_EQ(serve.state(), QProcess::Running);
    // A well-formed record still works afterwards.
    EXPECT_EQ(Desktop({"/" + kFirst}).status, 0);
    EXPECT_TRUE(WaitFor([&] { return Synced(kFirst); }));
}

// What the running desktop program answers a later start without parameters:
// 1 when that showed its main window.
std::uint32_t ShowAnswer(const QString& channel) {
    const auto answer = SendToInstance(channel, TInstanceRecord{kInstanceShow, {}}, 10000);
    return answer ? answer->Kind : 99;
}

TEST_F(InstanceChannel, AutorunStartsHiddenAndALaterStartShowsTheWindow) {
    WriteSettings({{kFirst, "First", {}}});
    StartDesktop({"/AUTORUN"});
    ASSERT_TRUE(ChannelUp());
    EXPECT_EQ(ShowAnswer(Channel()), 1u); // it was hidden: shown now
    EXPECT_EQ(ShowAnswer(Channel()), 0u); // visible with the tray option on: hidden again
    EXPECT_EQ(ShowAnswer(Channel()), 1u);
}

TEST_F(InstanceChannel, StartWithoutAutorunShowsTheWindowAndObeysItsSwitches) {
    WriteSettings({{kFirst, "First", {}}});
    StartDesktop({"/" + kFirst});
    ASSERT_TRUE(ChannelUp());
    EXPECT_TRUE(WaitFor([&] { return Synced(kFirst); }));
    EXPECT_EQ(ShowAnswer(Channel()), 0u); // visible from the start: the click hides it
}

TEST_F(InstanceChannel, ForceLoadAloneSkipsTheCheckOnlyWhenNoneHoldsTheFolder) {
    WriteSettings({{kFirst, "First", {}}});
    QProcess& serve = StartServe();
    ASSERT_TRUE(ChannelUp());
    // Skipping the check must not make a second writer of the same settings.
    const Result forced = Desktop({"/FORCELOAD"});
    EXPECT_EQ(forced.status, 3);
    EXPECT_TRUE(forced.err.contains("in use")) << forced.err.toStdString();
    // Together with another switch, or in lower case, it is forwarded as usual.
    EXPECT_EQ(Desktop({"/forceload"}).status, 0);
    EXPECT_EQ(Desktop({"/FORCELOAD", "/" + kFirst}).status, 0);
    EXPECT_TRUE(WaitFor([&] { return Synced(kFirst); }));
    EXPECT_EQ(serve.state(), QProcess::Running);
}

} // namespace
