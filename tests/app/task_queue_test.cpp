#include "app/app_context.h"
#include "profiles/task_queue.h"
#include "sync/sync_task.h"
#include "util/main_thread.h"
#include "zip/zip_task.h"

#include "held_worker.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

class TaskQueueTest : public HeldWorkerTest {
protected:
    TaskQueueTest() : HeldWorkerTest(THeldAbort::EndsTheWorker) {}

    TTaskQueue& queue() { return ctx.TaskQueue(); }
};

TEST_F(TaskQueueTest, RunsOneAtATimeInTheOrderQueued) {
    TLumo_BackupProfile& a = NewSync("SNK20240101000000000A");
    TLumo_BackupProfile& b = NewSync("SNK20240101000000000B");
    TLumo_BackupProfile& c = NewSync("SNK20240101000000000C");
    TLumo_BackupProfile& d = NewSync("SNK20240101000000000D");
    a.RunTask(false);
    b.RunTask(true);
    c.RunTask(false);
    d.RunTask(false);
    EXPECT_EQ(a.Status(), TTaskStatus::tsRun);
    EXPECT_EQ(b.Status(), TTaskStatus::tsQueue);
    EXPECT_EQ(b.Values().txtStatus, "Status: in queue");
    for (int i = 0; i < 4; ++i)
        FinishRunning();
    const std::vector<QString> expected = {
        "start SNK20240101000000000A", "ended SNK20240101000000000A", "start SNK20240101000000000B scan",
        "ended SNK20240101000000000B", "start SNK20240101000000000C", "ended SNK20240101000000000C",
        "start SNK20240101000000000D", "ended SNK20240101000000000D"};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(queue().IsEmpty());
    EXPECT_FALSE(queue().TaskRunning);
    EXPECT_EQ(d.Status(), TTaskStatus::tsNone);
}

TEST_F(TaskQueueTest, AQueuedOrRunningProfileIsNotQueuedTwice) {
    TLumo_BackupProfile& a = NewSync("SNK20240101000000000A");
    TLumo_BackupProfile& b = NewSync("SNK20240101000000000B");
    a.RunTask(false);
    b.RunTask(false);
    a.RunTask(false);
    b.RunTask(true);
    EXPECT_EQ(queue().Tasks().size(), 2u);
    FinishRunning();
    FinishRunning();
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(TaskQueueTest, StoppingAQueuedProfileTakesItOutAtOnce) {
    TLumo_BackupProfile& a = NewSync("SNK20240101000000000A");
    TLumo_BackupProfile& b = NewSync("SNK20240101000000000B");
    a.RunTask(false);
    b.RunTask(false);
    b.AbortTask();
    EXPECT_EQ(b.Status(), TTaskStatus::tsNone);
    EXPECT_EQ(b.Values().txtStatus, "Status: wait");
    EXPECT_EQ(a.Status(), TTaskStatus::tsRun);
    EXPECT_EQ(queue().Tasks().size(), 1u);
    FinishRunning();
    EXPECT_EQ(log, std::vector<QString>({"start SNK20240101000000000A", "ended SNK20240101000000000A"}));
}

TEST_F(TaskQueueTest, StoppingTheRunningProfileStartsTheNextAfterItsEndRoutine) {
    TLumo_BackupProfile& a = NewSync("SNK20240101000000000A");
    TLumo_BackupProfile& b = NewSync("SNK20240101000000000B");
    a.RunTask(false);
    b.RunTask(false);
    HeldWorker* first = running;
    a.AbortTask();
    ServeMainThreadWhile([&] { return running == first; });
    EXPECT_EQ(log[1], "stopped SNK20240101000000000A");
    EXPECT_EQ(log[2], "start SNK20240101000000000B");
    FinishRunning();
}

TEST_F(TaskQueueTest, AnArchiveBackupHasNoAnalysis) {
    TLumo_BackupProfile& zip = *TLumo_Zip::Create(ctx, "ZIP20240101000000000A").Profile();
    zip.RunTask(true);
    EXPECT_TRUE(queue().IsEmpty());
    EXPECT_EQ(zip.Status(), TTaskStatus::tsNone);
    zip.RunTask(false);
    FinishRunning();
    EXPECT_EQ(log, std::vector<QString>({"start ZIP20240101000000000A", "ended ZIP20240101000000000A"}));
}

TEST_F(TaskQueueTest, StopAllDiscardsTheQueueAndAllowsNewRunsAfterwards) {
    TLumo_BackupProfile& a = NewSync("SNK20240101000000000A");
    TLumo_BackupProfile& b = NewSync("SNK20240101000000000B");
    a.RunTask(false);
    b.RunTask(false);
    queue().AbortAll();
    ServeMainThreadWhile([&] { return !queue().IsEmpty(); });
    EXPECT_EQ(log, std::vector<QString>({"start SNK20240101000000000A", "stopped SNK20240101000000000A"}));
    EXPECT_EQ(b.Status(), TTaskStatus::tsNone);
    EXPECT_EQ(b.Sync()->SyncStatus(), TLumo_Operation::fsNone);
    b.RunTask(false);
    EXPECT_EQ(b.Status(), TTaskStatus::tsRun);
    FinishRunning();
}

TEST_F(TaskQueueTest, CloseAfterAllFiresWhenTheLastRunHasFinished) {
    int closes = 0;
    queue().CloseAfterAll = true;
    queue().OnCloseAfterAll = [&] { ++closes; };
    NewSync("SNK20240101000000000A").RunTask(false);
    NewSync("SNK20240101000000000B").RunTask(false);
    FinishRunning();
    EXPECT_EQ(closes, 0);
    FinishRunning();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(ctx.AppClosing);
    ctx.AppClosing = false;
}

TEST_F(TaskQueueTest, AKindWithoutEngineEndsAtOnce) {
    TTaskQueue& q = queue();
    q.SetEngineStart(TBackupClass::bcSync, {});
    TLumo_BackupProfile& a = NewSync("SNK20240101000000000A");
    a.RunTask(false);
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(a.Status(), TTaskStatus::tsNone);
    EXPECT_EQ(a.Sync()->SyncStatus(), TLumo_Operation::fsNone);
}

TEST_F(TaskQueueTest, AScheduleFiringQueuesARunOnce) {
    TLumo_BackupProfile& a = NewSync("SNK20240101000000000A");
    a.OnCronAction();
    a.OnCronAction();
    EXPECT_EQ(queue().Tasks().size(), 1u);
    FinishRunning();
}

} // namespace
