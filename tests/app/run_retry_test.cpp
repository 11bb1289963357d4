#include "app/app_context.h"
#include "lang/builtin_tables.h"
#include "profiles/task_queue.h"
#include "sync/sync_task.h"
#include "util/main_thread.h"

#include "test_env.h"

#include <gtest/gtest.h>

namespace {

// The retry rule with the real sync engine: a source folder that does not
// exist makes every run fail.
class RunRetryTest : public ::testing::Test {
protected:
    RunRetryTest() {
        SetBuiltinEnglish(ctx.Language, ctx.Options.Language, ctx.Options.LanguageLocal);
        TSyncSettings s;
        s.nTitle = "Missing source";
        s.nAutoMode = true;
        s.nValueList = {sandbox.file("no-such-folder/"), sandbox.file("storage/")};
        sync.ApplyNewSettings(s, false);
    }

    void RunAndWait(bool onlyScan) {
        sync.Profile()->RunTask(onlyScan);
        ServeMainThreadWhile([this] { return !ctx.TaskQueue().IsEmpty(); });
    }

    TestSandbox sandbox;
    TAppContext ctx{TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"}};
    TLumo_Sync& sync = TLumo_Sync::Create(ctx, {});
};

TEST_F(RunRetryTest, AFailedAutomaticRunIsRetriedOnceAndAnAnalysisNever) {
    RunAndWait(false);
    // The run and its one retry each counted a failure.
    EXPECT_EQ(sync.LastError(), TLumo_Error::feSourceFilesFolder);
    EXPECT_EQ(sync.ErrorAttempts(), 2);
    EXPECT_EQ(sync.Profile()->Status(), TTaskStatus::tsNone);
    EXPECT_EQ(sync.Profile()->Values().txtStatus,
              "Status: wait. Sync completed with errors: Source folder not found. " + sandbox.file("no-such-folder/"));

    // The next run starts the count again: one failure, one retry.
    RunAndWait(false);
    EXPECT_EQ(sync.ErrorAttempts(), 2);

    // A failed analysis is not retried.
    RunAndWait(true);
    EXPECT_EQ(sync.ErrorAttempts(), 1);
    EXPECT_TRUE(ctx.TaskQueue().IsEmpty());
}

} // namespace
