#include "app/app_context.h"
#include "profiles/backup_profile.h"
#include "profiles/engine_events.h"
#include "profiles/engine_thread.h"
#include "profiles/task_object.h"
#include "profiles/task_queue.h"
#include "util/main_thread.h"

#include "qt_app.h"
#include "test_env.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

// A kind the shell has never heard of: everything the profile and the queue
// do with it goes through ITaskObject, which is what keeps the shell free of
// kind switches.
class TTestKind final : public ITaskObject {
public:
    const QString& Title() const override { return fTitle; }
    const QString& StatusText() const override { return fStatus; }
    const QString& RowResultText(TTaskStatus queueState) const override {
        return queueState == TTaskStatus::tsNone ? fIdleLine : fBusyLine;
    }
    quint8 Progress() const override { return 40; }
    quint8 ProgressFull() const override { return 70; }
    TLumo_Error LastError() const override { return fError; }
    const QString& LastErrorText() const override { return fErrorText; }
    void RefreshTexts() override { fLog.push_back("refresh"); }

    bool PrepareRun(bool nOnlyScan) override {
        if (fQueued || (nOnlyScan && !fHasAnalysis))
            return false;
        fQueued = true;
        fStatus = "queued";
        return true;
    }
    void ResetUnqueued() override {
        fQueued = false;
        fStatus = "idle";
        fLog.push_back("unqueued");
    }
    bool RetriesFailedRun(const TBackupTask& run) const override {
        fLog.push_back(std::string("asked ") + (run.OnlyScan() ? "scan" : "run"));
        return fRetries-- > 0;
    }
    void StartRun(TBackupTask& run) override;

    const QStringList& ExcludeList() const override { return fExcludes; }
    void WriteProfile(IniDocument&) const override {}
    void WriteRunRecords(IniDocument&) const override {}

    QString fTitle = "Kind";
    QString fStatus = "idle";
    QString fIdleLine = "last run";
    QString fBusyLine = "result";
    TLumo_Error fError = TLumo_Error::feNone;
    QString fErrorText;
    QStringList fExcludes;
    bool fHasAnalysis = true;
    bool fQueued = false;
    mutable int fRetries = 0;
    mutable std::vector<std::string> fLog;
};

// Ends at once: the end routine resets the kind and calls Finished on the main thread.
class TEndingWorker final : public TEngineThread {
public:
    TEndingWorker(TTaskQueue& queue, TTestKind& kind) : fQueue(queue), fKind(kind) {}
    void AbortTask() override {}
    void SetLowPriority(bool) override {}

protected:
    void run() override {
        RunOnMainThread([this] {
            fKind.fQueued = false;
            fKind.fStatus = "idle";
            if (!fQueue.IsEmpty())
                fQueue.First()->Finished();
        });
    }

private:
    TTaskQueue& fQueue;
    TTestKind& fKind;
};

class TaskObjectTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }

    TLumo_BackupProfile& Add(const QString& uid) {
        auto kind = std::make_unique<TTestKind>();
        kinds.push_back(kind.get());
        return TLumo_BackupProfile::New(ctx, TBackupClass::bcSync, uid, std::move(kind));
    }
    void RegisterStart() {
        ctx.TaskQueue().SetEngineStart(TBackupClass::bcSync, [this](TBackupTask& run) {
            starts.push_back(run.Profile().UID().toStdString() + (run.OnlyScan() ? " scan" : " run"));
            run.Profile().Task().StartRun(run);
        });
    }
    void WaitForEmptyQueue() { ServeMainThreadWhile([&] { return !ctx.TaskQueue().IsEmpty(); }); }

    TestSandbox sandbox;
    TAppContext ctx{TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"}};
    std::vector<TTestKind*> kinds;
    std::vector<std::string> starts;
};

void TTestKind::StartRun(TBackupTask& run) {
    auto worker = std::make_unique<TEndingWorker>(run.Profile().Context().TaskQueue(), *this);
    TEndingWorker& started = *worker;
    run.SetThread(std::move(worker));
    started.start();
}

TEST_F(TaskObjectTest, TheRowIsMadeOfWhatTheTaskObjectReports) {
    TLumo_BackupProfile& profile = Add("K1");
    TTestKind& kind = *kinds.back();
    std::vector<QString> shown;
    QObject receiver;
    QObject::connect(&ctx.Events(), &TEngineEvents::profileChanged, &receiver,
                     [&](const QString&, const TGL_Profile& row) { shown.push_back(row.txtStatus); });

    struct Case {
        TLumo_Error error;
        QString errorText;
        TTaskStatus queueState;
        QString status;
        QString lastLine;
    };
    const Case cases[] = {
        {TLumo_Error::feNone, "", TTaskStatus::tsNone, "idle", "last run"},
        {TLumo_Error::feCopy, "Broke.", TTaskStatus::tsNone, "idle. Broke.", "last run"},
        {TLumo_Error::feNone, "Ignored while no error", TTaskStatus::tsQueue, "idle", "result"},
    };
    for (const Case& c : cases) {
        kind.fError = c.error;
        kind.fErrorText = c.errorText;
        profile.SetStatus(c.queueState);
        profile.SetFullValues();
        profile.RepaintNode();
        const TGL_Profile& row = profile.Values();
        EXPECT_EQ(row.txtTitle, "Kind");
        EXPECT_EQ(row.txtStatus, c.status);
        EXPECT_EQ(row.txtLastSync, c.lastLine);
        EXPECT_EQ(row.tAction, c.queueState);
        EXPECT_EQ(row.iProgress, 40);
        EXPECT_EQ(row.iFullProgress, 70);
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back(), c.status);
    }
    EXPECT_EQ(profile.Title(), "Kind");

    ctx.RefreshAllProfileTexts();
    EXPECT_EQ(kind.fLog, std::vector<std::string>{"refresh"});
}

TEST_F(TaskObjectTest, TheQueueAsksTheTaskObjectBeforeQueuingAndAfterARun) {
    TLumo_BackupProfile& first = Add("K1");
    TLumo_BackupProfile& second = Add("K2");
    TTestKind& firstKind = *kinds[0];
    TTestKind& secondKind = *kinds[1];
    secondKind.fHasAnalysis = false;
    firstKind.fRetries = 1;
    RegisterStart();

    // Refused by the kind: nothing is queued.
    ctx.TaskQueue().RunTask(second, true);
    EXPECT_TRUE(ctx.TaskQueue().IsEmpty());
    EXPECT_EQ(second.Status(), TTaskStatus::tsNone);

    // The first run asks for a retry once: it goes to the end of the queue.
    ctx.TaskQueue().RunTask(first, false);
    ctx.TaskQueue().RunTask(second, false);
    WaitForEmptyQueue();
    EXPECT_EQ(starts, (std::vector<std::string>{"K1 run", "K2 run", "K1 run"}));
    EXPECT_EQ(firstKind.fLog, (std::vector<std::string>{"asked run", "asked run"}));
    EXPECT_EQ(first.Status(), TTaskStatus::tsNone);
}

TEST_F(TaskObjectTest, AQueuedRunTakenOutResetsTheTaskObject) {
    TLumo_BackupProfile& running = Add("K1");
    TLumo_BackupProfile& waiting = Add("K2");
    // No engine yet: the first run holds the queue until it is started by hand.
    ctx.TaskQueue().SetEngineStart(TBackupClass::bcSync, [](TBackupTask&) {});
    ctx.TaskQueue().RunTask(running, false);
    ctx.TaskQueue().RunTask(waiting, false);
    ASSERT_EQ(ctx.TaskQueue().Tasks().size(), 2u);

    waiting.AbortTask();
    EXPECT_EQ(kinds[1]->fLog, std::vector<std::string>{"unqueued"});
    EXPECT_FALSE(kinds[1]->fQueued);
    EXPECT_EQ(waiting.Values().txtStatus, "idle");
    EXPECT_EQ(ctx.TaskQueue().Tasks().size(), 1u);
    EXPECT_TRUE(kinds[0]->fLog.empty());

    // The head's end routine, as its engine would run it.
    ctx.TaskQueue().First()->Finished();
    EXPECT_TRUE(ctx.TaskQueue().IsEmpty());
    EXPECT_FALSE(ctx.TaskQueue().TaskRunning);
}

} // namespace
