// Stopping sync runs at the points where the run is most fragile: while the
// after-scripts run, right after the analysis, and with an automatic retry
// waiting in the queue.

#include "sync_run_support.h"

#include "scripts/script_list.h"

namespace {

TLumo_ProfileScript LongPause() {
    TLumo_ProfileScript pause(TActionType::taPause);
    pause.AddValue("Pause", "600");
    return pause;
}

class SyncRunControlTest : public SyncRunTest {
protected:
    void ServeUntilStatus(const TLumo_Sync& sync, TLumo_Operation status) {
        ServeMainThreadWhile([&] { return sync.SyncStatus() != status && !ctx->TaskQueue().IsEmpty(); });
        ASSERT_EQ(sync.SyncStatus(), status);
    }

    void WaitForQueue() {
        ServeMainThreadWhile([&] { return !ctx->TaskQueue().IsEmpty(); });
    }
};

enum class StopAt { BeforeList, AfterList, Analysis };

struct StopCase {
    const char* name;
    StopAt where;
    bool byBreakTask;     // the list's own "break task" instead of the user's Stop
    bool withFailingPair; // a second pair whose source is missing: a real error of the run
};

class StopDuringScripts : public SyncRunControlTest, public ::testing::WithParamInterface<StopCase> {};

// The run is stopped while a script list runs (or as the analysis ends); the
// stop must reach the worker safely, the automatic mode must not take it for
// a failure, and a real error the run had before the stop stays its error.
TEST_P(StopDuringScripts, TheRunEndsQuietlyAndIsNotRetried) {
    const StopCase& c = GetParam();
    Write(src() + "a.txt", "alpha");
    TSyncSettings settings;
    settings.nAutoMode = true;
    settings.nValueList << src() << dst();
    if (c.withFailingPair)
        settings.nValueList << sandbox.path() + "/no-such-folder/" << sandbox.path() + "/dst2/";
    TLumo_Sync& sync = MakeSync(settings);
    TLumo_ScriptList list;
    if (c.byBreakTask)
        list.emplace_back(TActionType::taBreakTask);
    list.push_back(LongPause());
    if (c.where == StopAt::BeforeList)
        sync.Profile()->SetScriptLists(list, {}, false);
    else if (c.where == StopAt::AfterList)
        sync.Profile()->SetScriptLists({}, list, false);
    // A result window that presses Stop once the analysis hands over its entries.
    QObject stopper;
    if (c.where == StopAt::Analysis)
        QObject::connect(&ctx->Events(), &TEngineEvents::resultUpdateBegun, &stopper,
                         [&sync](const QString&) { sync.Profile()->AbortTask(); });

    ctx->TaskQueue().RunTask(*sync.Profile(), false);
    if (!c.byBreakTask && c.where != StopAt::Analysis) {
        ServeUntilStatus(sync, c.where == StopAt::BeforeList ? TLumo_Operation::fsScriptBefore
                                                             : TLumo_Operation::fsScriptAfter);
        sync.Profile()->AbortTask();
    }
    // Until the first run's end routine: a retry would pause for good.
    ServeMainThreadWhile([&] { return !ctx->TaskQueue().IsEmpty() && sync.ErrorAttempts() == 0; });

    EXPECT_TRUE(ctx->TaskQueue().IsEmpty());
    EXPECT_EQ(sync.ErrorAttempts(), 0);
    EXPECT_EQ(sync.LastError(), c.withFailingPair ? TLumo_Error::feSourceFilesFolder : TLumo_Error::feNone);
    if (c.withFailingPair) {
        EXPECT_TRUE(sync.LastErrorText().contains("Source folder not found")) << sync.LastErrorText().toStdString();
    }
    ctx->TaskQueue().AbortAll();
    WaitForQueue();
    QObject::disconnect(&ctx->Events(), nullptr, &stopper, nullptr);
    EXPECT_EQ(sync.Profile()->Status(), TTaskStatus::tsNone);
    EXPECT_EQ(sync.SyncStatus(), TLumo_Operation::fsNone);
    // Stopped in the after list, the copy itself was done.
    EXPECT_EQ(Read(dst() + "a.txt"), c.where == StopAt::AfterList ? QByteArray("alpha") : QByteArray("<missing>"));
}

INSTANTIATE_TEST_SUITE_P(Runs, StopDuringScripts,
                         ::testing::Values(StopCase{"StopInBefore", StopAt::BeforeList, false, false},
                                           StopCase{"StopInAfter", StopAt::AfterList, false, false},
                                           StopCase{"BreakTaskInAfter", StopAt::AfterList, true, false},
                                           StopCase{"StopInAfterKeepsError", StopAt::AfterList, false, true},
                                           StopCase{"BreakTaskInAfterKeepsError", StopAt::AfterList, true, true},
                                           StopCase{"StopAfterAnalysis", StopAt::Analysis, false, false},
                                           StopCase{"StopAfterAnalysisKeepsError", StopAt::Analysis, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A stopped run winds down after the stop (the rest of its end, on the main
// thread): until its worker has ended the profile is busy, so it can be
// neither deleted nor given new settings, which would free what the worker
// still uses.
TEST_F(SyncRunControlTest, AStoppedProfileIsBusyUntilItsWorkerHasEnded) {
    Write(src() + "a.txt", "alpha");
    TLumo_Sync& sync = MakeSync();
    TLumo_BackupProfile& profile = *sync.Profile();
    const QString uid = sync.UID();
    profile.SetScriptLists({}, {LongPause()}, false);
    TSyncSettings changed = sync.GetSettings();
    changed.nTitle = "Changed";

    ctx->TaskQueue().RunTask(profile, false);
    EXPECT_FALSE(profile.Delete());
    ServeUntilStatus(sync, TLumo_Operation::fsScriptAfter);
    profile.AbortTask();
    // The worker still needs the main thread for its end routine, so it lives now.
    EXPECT_EQ(profile.Status(), TTaskStatus::tsNone);
    EXPECT_TRUE(ctx->TaskQueue().IsBusy(profile));
    EXPECT_FALSE(profile.Delete());
    EXPECT_FALSE(sync.ApplyNewSettings(changed, false));
    EXPECT_EQ(sync.Title(), "Test");
    ASSERT_EQ(ctx->FindProfileByUID(uid), &profile);

    ServeMainThreadWhile([&] { return ctx->TaskQueue().IsBusy(profile); });
    EXPECT_TRUE(sync.ApplyNewSettings(changed, false));
    EXPECT_EQ(sync.Title(), "Changed");
    EXPECT_TRUE(profile.Delete());
    EXPECT_EQ(ctx->FindProfileByUID(uid), nullptr);
    EXPECT_EQ(Read(dst() + "a.txt"), QByteArray("alpha"));
}

// The run works on the script lists as they were when it started; lists
// changed meanwhile are for the next run.
TEST_F(SyncRunControlTest, ARunKeepsTheScriptListsItStartedWith) {
    Write(src() + "a.txt", "alpha");
    const QString marker = sandbox.path() + "/marker.txt";
    Write(marker, "m");
    TLumo_Sync& sync = MakeSync();
    TLumo_ProfileScript deleteMarker(TActionType::taDeleteFile);
    deleteMarker.AddValue("File", marker);
    deleteMarker.AddValue("ToRecycle", "0");

    ctx->TaskQueue().RunTask(*sync.Profile(), false);
    // The worker now waits for its first call on the main thread, so the
    // lists change before the run has run any of them.
    sync.Profile()->SetScriptLists({}, {deleteMarker}, false);
    WaitForQueue();
    EXPECT_EQ(Read(marker), QByteArray("m"));
    EXPECT_EQ(Read(dst() + "a.txt"), QByteArray("alpha"));

    RunAndWait(sync, false);
    EXPECT_EQ(Read(marker), QByteArray("<missing>"));
}

// A failed automatic run waits for its retry behind another run; meanwhile
// the profile counts as queued, so queuing it again adds nothing.
TEST_F(SyncRunControlTest, AProfileWaitingForItsRetryIsQueuedOnce) {
    TSyncSettings failing;
    failing.nAutoMode = true;
    failing.nValueList << sandbox.path() + "/no-such-folder/" << dst();
    TLumo_Sync& retried = MakeSync(failing);
    TLumo_Sync& blocker = MakeSync();
    blocker.Profile()->SetScriptLists({LongPause()}, {}, false);

    ctx->TaskQueue().RunTask(*retried.Profile(), false);
    ctx->TaskQueue().RunTask(*blocker.Profile(), false);
    ServeUntilStatus(blocker, TLumo_Operation::fsScriptBefore);
    EXPECT_EQ(retried.ErrorAttempts(), 1);
    EXPECT_EQ(retried.SyncStatus(), TLumo_Operation::fsQueue);
    EXPECT_EQ(retried.Profile()->Status(), TTaskStatus::tsQueue);

    ctx->TaskQueue().RunTask(*retried.Profile(), false);
    EXPECT_EQ(ctx->TaskQueue().Tasks().size(), 2u);

    blocker.Profile()->AbortTask();
    WaitForQueue();
    // The one retry ran and failed too; a second queued run would have
    // started the count again.
    EXPECT_EQ(retried.ErrorAttempts(), 2);
}

} // namespace
