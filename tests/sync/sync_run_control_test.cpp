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

} // namespace
