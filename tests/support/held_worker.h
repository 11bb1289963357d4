#pragma once

// Engine workers that end only when the test lets them, and a fixture whose
// task queue starts them instead of the real engines.

#include "app/app_context.h"
#include "lang/builtin_tables.h"
#include "profiles/engine_thread.h"
#include "profiles/task_queue.h"
#include "sync/sync_task.h"
#include "util/main_thread.h"
#include "zip/zip_task.h"

#include "test_env.h"

#include <QSemaphore>

#include <atomic>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

// What a stop request does to a held worker.
enum class THeldAbort {
    EndsTheWorker,  // it ends at once, as the real engines do
    IsOnlyLogged,   // "abort UID" is logged and the worker still waits, so a test sees what waits for its end
};

// Waits until released (or stopped, see THeldAbort), then runs the end
// routine on the main thread as the real engines do, logging "ended UID" or
// "stopped UID"; priority changes are logged as "low UID" / "normal UID".
class HeldWorker : public TEngineThread {
public:
    HeldWorker(TAppContext& context, TLumo_BackupProfile& profile, std::vector<QString>& log, THeldAbort onAbort)
        : fContext(context), fProfile(profile), fLog(log), fOnAbort(onAbort) {}

    void Release() { fGo.release(); }
    void AbortTask() override {
        fAborted = true;
        if (fOnAbort == THeldAbort::EndsTheWorker)
            Release();
        else
            fLog.push_back("abort " + fProfile.UID());
    }
    void SetLowPriority(bool low) override { fLog.push_back(QString(low ? "low " : "normal ") + fProfile.UID()); }

protected:
    void run() override {
        fGo.acquire();
        RunOnMainThread([this] {
            fLog.push_back((fAborted ? "stopped " : "ended ") + fProfile.UID());
            if (fProfile.Sync())
                fProfile.Sync()->SetSyncStatus(TLumo_Operation::fsNone);
            else if (fProfile.Zip())
                fProfile.Zip()->SetOperationState(TLumo_Operation::fsNone);
            if (!fContext.TaskQueue().IsEmpty())
                fContext.TaskQueue().First()->Finished();
        });
    }

private:
    TAppContext& fContext;
    TLumo_BackupProfile& fProfile;
    std::vector<QString>& fLog;
    const THeldAbort fOnAbort;
    QSemaphore fGo;
    std::atomic<bool> fAborted{false};
};

// A sandboxed context whose synchronization and archive runs start held
// workers, logging "start UID" (with " scan" for a scan only).
class HeldWorkerTest : public ::testing::Test {
protected:
    explicit HeldWorkerTest(THeldAbort onAbort) : fOnAbort(onAbort) {
        SetBuiltinEnglish(ctx.Language, ctx.Options.Language, ctx.Options.LanguageLocal);
        const TEngineStart start = [this](TBackupTask& task) {
            auto worker = std::make_unique<HeldWorker>(ctx, task.Profile(), log, fOnAbort);
            running = worker.get();
            log.push_back("start " + task.Profile().UID() + (task.OnlyScan() ? " scan" : ""));
            task.SetThread(std::move(worker));
            running->start();
        };
        ctx.TaskQueue().SetEngineStart(TBackupClass::bcSync, start);
        ctx.TaskQueue().SetEngineStart(TBackupClass::bcZip, start);
    }
    ~HeldWorkerTest() override {
        // A worker that ignores stop requests would keep the queue's shutdown waiting.
        if (running && fOnAbort == THeldAbort::IsOnlyLogged)
            running->Release();
    }

    TLumo_BackupProfile& NewSync(const char* uid) { return *TLumo_Sync::Create(ctx, uid).Profile(); }

    // Lets the running worker end and waits until its end routine has run.
    void FinishRunning() {
        HeldWorker* worker = running;
        running = nullptr;
        const size_t before = log.size();
        worker->Release();
        ServeMainThreadWhile([&] { return log.size() == before; });
    }

    const THeldAbort fOnAbort;
    TestSandbox sandbox;
    // Before the context: its queue's shutdown still stops a held worker, which logs.
    std::vector<QString> log;
    TAppContext ctx{TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"}};
    HeldWorker* running = nullptr;
};
