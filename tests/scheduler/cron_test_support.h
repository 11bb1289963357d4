#pragma once

#include "app/app_context.h"
#include "qt_app.h"
#include "scheduler/cron_entry.h"
#include "scheduler/schedule.h"
#include "sync/sync_task.h"
#include "test_env.h"

#include <gtest/gtest.h>

// A context in a sandbox; profiles are made on request.
class CronTest : public ::testing::Test {
protected:
    // The context's save timer and the entries' timers need the application object first.
    bool fQtApp = (EnsureQtApp(), true);
    TestSandbox sandbox;
    TAppContext ctx{TAppPaths{sandbox.path() + "/", sandbox.path() + "/Lang/"}};

    void MakeProfile(const QString& uid) { TLumo_Sync::Create(ctx, uid); }
};
