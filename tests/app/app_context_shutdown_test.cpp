#include "app/app_context.h"
#include "lang/builtin_tables.h"
#include "profiles/backup_profile.h"
#include "profiles/task_queue.h"
#include "scheduler/cron_entry.h"
#include "scheduler/schedule.h"
#include "scripts/script_list.h"
#include "sync/sync_task.h"
#include "sync/sync_thread.h"
#include "util/main_thread.h"

#include "test_env.h"

#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

namespace {

// The context goes away while a run is still going: winding the run down
// serves the main thread's events, and no schedule entry may fire then.
TEST(AppContextShutdown, NoScheduleEntryFiresWhileTheRunningRunWindsDown) {
    TestSandbox sandbox;
    auto ctx = std::make_unique<TAppContext>(TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"});
    SetBuiltinEnglish(ctx->Language, ctx->Options.Language, ctx->Options.LanguageLocal);
    RegisterSyncEngine(ctx->TaskQueue());

    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    TSyncSettings settings;
    settings.nTitle = "Paused";
    settings.nValueList = {sandbox.file("src/"), sandbox.file("dst/")};
    sync.ApplyNewSettings(settings, false);
    TLumo_ProfileScript pause(TActionType::taPause);
    pause.AddValue("Pause", "600");
    sync.Profile()->SetScriptLists({pause}, {}, false);
    ctx->TaskQueue().RunTask(*sync.Profile(), false);
    ServeMainThreadWhile([&] { return sync.SyncStatus() != TLumo_Operation::fsScriptBefore; });

    int fired = 0;
    TCroneSettings due; // a once-entry at moment 0: due at its first tick
    due.NotifyEvent = [&fired](const TCronSender&) { ++fired; };
    TLumo_Crone& entry = CreateCron(ctx->Schedule(), due);
    entry.SelfTimer->Start(0);

    ctx.reset();
    EXPECT_EQ(fired, 0);
}

} // namespace
