// Stopping sync runs at the points where the run is most fragile: while the
// after-scripts run, and with an automatic retry waiting in the queue.

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

struct StopCase {
    const char* name;
    bool stopInBefore; // else in the after list
    bool byBreakTask;  // the list's own "break task" instead of the user's Stop
};

class StopDuringScripts : public SyncRunControlTest, public ::testing::WithParamInterface<StopCase> {};

// The run is stopped while a script list runs; the stop must reach the
// worker safely, and the automatic mode must not take it for a failure.
TEST_P(StopDuringScripts, TheRunEndsQuietlyAndIsNotRetried) {
    const StopCase& c = GetParam();
    Write(src() + "a.txt", "alpha");
    TSyncSettings settings;
    settings.nAutoMode = true;
    TLumo_Sync& sync = MakeSync(settings);
    TLumo_ScriptList list;
    if (c.byBreakTask)
        list.emplace_back(TActionType::taBreakTask);
    list.push_back(LongPause());
    if (c.stopInBefore)
        sync.Profile()->SetScriptLists(list, {}, false);
    else
        sync.Profile()->SetScriptLists({}, list, false);

    ctx->TaskQueue().RunTask(*sync.Profile(), false);
    if (!c.byBreakTask) {
        ServeUntilStatus(sync, c.stopInBefore ? TLumo_Operation::fsScriptBefore : TLumo_Operation::fsScriptAfter);
        sync.Profile()->AbortTask();
    }
    // Until the first run's end routine: a retry would pause for good.
    ServeMainThreadWhile([&] { return !ctx->TaskQueue().IsEmpty() && sync.ErrorAttempts() == 0; });

    EXPECT_TRUE(ctx->TaskQueue().IsEmpty());
    EXPECT_EQ(sync.ErrorAttempts(), 0);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    ctx->TaskQueue().AbortAll();
    WaitForQueue();
    EXPECT_EQ(sync.Profile()->Status(), TTaskStatus::tsNone);
    EXPECT_EQ(sync.SyncStatus(), TLumo_Operation::fsNone);
    // Stopped in the after list, the copy itself was done.
    EXPECT_EQ(Read(dst() + "a.txt"), c.stopInBefore ? QByteArray("<missing>") : QByteArray("alpha"));
}

INSTANTIATE_TEST_SUITE_P(Runs, StopDuringScripts,
                         ::testing::Values(StopCase{"StopInBefore", true, false},
                                           StopCase{"StopInAfter", false, false},
                                           StopCase{"BreakTaskInAfter", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

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
