// The resident engine's command handler, priorities and hooks, with workers
// that end only when the test lets them.

#include "app/app_context.h"
#include "app/command_line.h"
#include "app/resident_engine.h"
#include "app/taskbar.h"
#include "folderzip/folderzip_task.h"
#include "profiles/task_queue.h"
#include "scheduler/cron_entry.h"
#include "scheduler/day_restart.h"
#include "scheduler/schedule.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "util/main_thread.h"
#include "zip/zip_task.h"

#include "fake_schedule_clock.h"
#include "held_worker.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

namespace {

class ResidentEngineTest : public HeldWorkerTest {
protected:
    ResidentEngineTest() : HeldWorkerTest(THeldAbort::IsOnlyLogged) {
        ctx.Options.LowPriorityWhenHiden = false; // the test process keeps its priority
        hooks.Quit = [this] { ++quits; };
        hooks.TrayAnimation = [this](bool on) { log.push_back(on ? "animate" : "still"); };
    }

    // Serves the main thread's events a fixed number of rounds.
    static void ServeRounds(int rounds) {
        for (int i = 0; i < rounds; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    bool Logged(const QString& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }

    int quits = 0;
    TResidentHooks hooks;
};

TEST_F(ResidentEngineTest, AbortAllIsDoneOnlyOnceTheRunningTaskEndedThenQueuesTheNamedProfiles) {
    TResidentEngine engine(ctx, hooks);
    NewSync("SNK1");
    NewSync("SNK2");
    TLumo_BackupProfile& third = NewSync("SNK3");
    ctx.TaskQueue().RunTask(*ctx.FindProfileByUID("SNK1"), false);
    ctx.TaskQueue().RunTask(third, false);
    bool done = false;
    engine.ExecuteCommandLine("/ABORTALL /SNK2 ", [&] { done = true; });
    ServeRounds(50);
    EXPECT_TRUE(Logged("abort SNK1"));
    EXPECT_FALSE(done); // the stopped worker has not ended yet
    EXPECT_FALSE(Logged("start SNK2"));
    EXPECT_EQ(third.Status(), TTaskStatus::tsNone); // the queued run was discarded
    FinishRunning();
    ServeMainThreadWhile([&] { return !done; });
    EXPECT_TRUE(Logged("stopped SNK1"));
    EXPECT_TRUE(Logged("start SNK2"));
    EXPECT_FALSE(Logged("start SNK3"));
    EXPECT_FALSE(ctx.TaskQueue().AbortAllTasks);
}

TEST_F(ResidentEngineTest, ProfileSwitchesQueueInOrderAndUnknownOnesAreIgnored) {
    TResidentEngine engine(ctx, hooks);
    NewSync("SNK1");
    NewSync("SNK2");
    bool done = false;
    engine.ExecuteCommandLine("junk /snk2 /SNK404 /SNK1 ", [&] { done = true; });
    EXPECT_TRUE(done);
    ASSERT_EQ(ctx.TaskQueue().Tasks().size(), 2u);
    EXPECT_EQ(ctx.TaskQueue().Tasks()[0]->Profile().UID(), "SNK2");
    EXPECT_EQ(ctx.TaskQueue().Tasks()[1]->Profile().UID(), "SNK1");
    FinishRunning();
    FinishRunning();
}

TEST_F(ResidentEngineTest, CloseAfterAllQuitsWhenTheQueueEmpties) {
    TResidentEngine engine(ctx, hooks);
    NewSync("SNK1");
    engine.ExecuteCommandLine("/SNK1 /CLOSEAFTERALL ");
    ServeRounds(20);
    EXPECT_EQ(quits, 0);
    FinishRunning();
    ServeMainThreadWhile([&] { return quits == 0; });
    EXPECT_EQ(quits, 1);
}

TEST_F(ResidentEngineTest, CloseAfterAllWithAnEmptyQueueAndCloseQuitAtOnce) {
    for (const char* text : {"/CLOSEAFTERALL ", "/CLOSE "}) {
        SCOPED_TRACE(text);
        quits = 0;
        ctx.AppClosing = false;
        ctx.TaskQueue().CloseAfterAll = false;
        TResidentEngine engine(ctx, hooks);
        engine.ExecuteCommandLine(text);
        ServeMainThreadWhile([&] { return quits == 0; });
        EXPECT_EQ(quits, 1);
    }
}

TEST_F(ResidentEngineTest, HiddenWindowLowersTheRunningWorkerAndShowingRestoresIt) {
    ctx.Options.LowPriorityWhenHiden = true;
    TResidentEngine engine(ctx, hooks);
    engine.SetMainFormHidden(false);
    ctx.TaskQueue().RunTask(NewSync("SNK1"), false);
    EXPECT_TRUE(Logged("normal SNK1"));
    EXPECT_TRUE(Logged("animate"));
    log.clear();
    engine.SetMainFormHidden(true);
    EXPECT_TRUE(Logged("low SNK1"));
    log.clear();
    engine.SetMainFormHidden(false);
    EXPECT_TRUE(Logged("normal SNK1"));
    FinishRunning();
    EXPECT_TRUE(Logged("still"));
}

TEST_F(ResidentEngineTest, StartArmsTheScheduleAndMakesTheDayRestartEntry) {
    TResidentEngine engine(ctx, hooks);
    NewSync("SNK1");
    TCroneSettings every;
    every.Enabled = true;
    every.CronRepeat = TCronRepeat::trEveryTime;
    every.RepeatIntervalValue = 5;
    every.CronSender.SenderUID = "SNK1";
    TLumo_Crone& entry = CreateCron(ctx.Schedule(), every);
    EXPECT_FALSE(entry.pActive);
    engine.StartAfterLoading();
    EXPECT_TRUE(entry.pActive);
    EXPECT_TRUE(ctx.FindProfileByUID("SNK1")->Values().bHaveCron);
    ASSERT_NE(engine.DayRestart().Entry(), nullptr);
    EXPECT_TRUE(engine.DayRestart().Entry()->pActive);
    EXPECT_TRUE(ctx.Schedule().GlobalSettings().NowAppBoot);
    engine.Shutdown();
    EXPECT_FALSE(entry.pActive);
}

TEST_F(ResidentEngineTest, DayRestartRefreshesTextsAndRotatesDayBasedVersions) {
    auto clock = std::make_shared<FakeScheduleClock>(QDateTime(QDate(2026, 6, 10), QTime(23, 59, 0)));
    ctx.Schedule().SetClock(clock);
    TLumo_Zip& zip = TLumo_Zip::Create(ctx, "ZIP1");
    TZip_Settings settings = zip.GetSettings();
    settings.nTitle = "Versions";
    settings.nUseVersions = true;
    settings.nItemsVersions = false; // by age
    settings.nVersionsValue = 2;     // days
    settings.nSetFileVerList = true;
    const QString oldArchive = sandbox.file("old.zip");
    sandbox.writeFile("old.zip", "not really an archive");
    settings.nFileVersionList = {TFileVersion{Now() - 5, oldArchive}, TFileVersion{Now(), sandbox.file("new.zip")}};
    zip.ApplyNewSettings(settings, false);
    ASSERT_EQ(zip.FileVersionList().size(), 2u);

    TResidentEngine engine(ctx, hooks);
    engine.StartAfterLoading();
    engine.FinishStart(); // the delayed-start period ends long before midnight
    clock->Advance(58000);
    EXPECT_EQ(zip.FileVersionList().size(), 2u);
    clock->Advance(4000); // 23:59:59, then the two one-second steps
    ASSERT_EQ(zip.FileVersionList().size(), 1u);
    EXPECT_EQ(zip.FileVersionList()[0].Filename, sandbox.file("new.zip"));
    EXPECT_FALSE(QFile::exists(oldArchive));
    const auto waiting = ctx.Saver().WaitingRequests();
    EXPECT_TRUE(std::any_of(waiting.begin(), waiting.end(), [](const TSaveTask& task) {
        return task.fType == TSaveSetType::stZipFileversion && task.fUID == "ZIP1";
    }));
    ASSERT_NE(engine.DayRestart().Entry(), nullptr);
    EXPECT_EQ(DateTimeToStamp(engine.DayRestart().Entry()->pActionDateTime), "20260611235959");
}

struct ParseCase {
    const char* text;
    bool abortAll, close, closeAfterAll;
    QStringList uids;
};

TEST(CommandLine, SwitchesAreFoundAsTheHandlerReadsThem) {
    const ParseCase cases[] = {
        {"", false, false, false, {}},
        {"/SNK1 /zip2 /Fzp3 ", false, false, false, {"SNK1", "ZIP2", "FZP3"}},
        {"/SNK /ZIP ", false, false, false, {}}, // no UID after the prefix
        {"/abortall /SNK1 ", true, false, false, {"SNK1"}},
        {"/CLOSE ", false, true, false, {}},
        {"/closeafterall ", false, false, true, {}},
        {"text without a switch", false, false, false, {}},
        {"junk/SNK1 more /CLOSEAFTERALL", false, false, true, {"SNK1"}},
        {"/UNKNOWN /SNK1", false, false, false, {"SNK1"}},
        {"/CLOSEX /ABORTALLX ", false, false, false, {}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const TCommandLine parsed = ParseCommandLine(QString::fromLatin1(c.text));
        EXPECT_EQ(parsed.AbortAll, c.abortAll);
        EXPECT_EQ(parsed.Close, c.close);
        EXPECT_EQ(parsed.CloseAfterAll, c.closeAfterAll);
        EXPECT_EQ(parsed.ProfileUIDs, c.uids);
    }
}

TEST(CommandLine, ForceLoadOnlyAloneAndInUpperCaseAutorunAnywhere) {
    EXPECT_TRUE(IsForceLoad({"/FORCELOAD"}));
    EXPECT_FALSE(IsForceLoad({"/forceload"}));
    EXPECT_FALSE(IsForceLoad({"/FORCELOAD", "/SNK1"}));
    EXPECT_FALSE(IsForceLoad({" /FORCELOAD"}));
    EXPECT_TRUE(IsAutorun({"/SNK1", " /autorun "}));
    EXPECT_FALSE(IsAutorun({"/AUTORUNX"}));
    EXPECT_EQ(InstanceCommandText({"/SNK1", "/CLOSE"}), "/SNK1 /CLOSE ");
}

TEST_F(ResidentEngineTest, JumpListHoldsTheThreeNewestProfilesOfEachKind) {
    for (int i = 1; i <= 5; ++i)
        NewSync(qPrintable(QString("SNK%1").arg(i)));
    TLumo_Zip::Create(ctx, "ZIP1");
    const TJumpList list = BuildJumpList(ctx);
    EXPECT_EQ(list.CategoryNames[0], ctx.Language.Text(Lng::lng_MF_miNewSync));
    ASSERT_EQ(list.Categories[0].size(), 3u);
    EXPECT_EQ(list.Categories[0][0].Arguments, "/SNK5");
    EXPECT_EQ(list.Categories[0][2].Arguments, "/SNK3");
    ASSERT_EQ(list.Categories[1].size(), 1u);
    EXPECT_EQ(list.Categories[1][0].Arguments, "/ZIP1");
    EXPECT_TRUE(list.Categories[2].empty());
}

} // namespace
