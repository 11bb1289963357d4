#pragma once

#include "profiles/enums.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TTaskQueue;
class TEngineServices;
class TLumo_BackupProfile;
class TEngineThread;

// One queued or running run of a profile.
class TBackupTask {
public:
    TBackupTask(TTaskQueue& queue, TLumo_BackupProfile& profile, bool onlyScan, std::optional<QStringList> list);
    ~TBackupTask();

    TLumo_BackupProfile& Profile() const { return *fBackup; }
    TTaskStatus Status() const { return fStatus; }
    bool OnlyScan() const { return fOnlyScan; }
    const std::optional<QStringList>& List() const { return fList; }
    bool AbortRequested() const { return fAbortTask; }
    TEngineThread* Thread() const { return fThread.get(); }

    // Called by the engine's start routine after it made the worker and before
    // it starts it. The queue owns the worker from then on and releases it once
    // it has ended; the engine must not keep it beyond its run.
    void SetThread(std::unique_ptr<TEngineThread> nThread);
    // Called by the worker's end routine on the main thread (the worker is
    // still running then: it is released after it has ended).
    void Finished();
    void AbortTask();

private:
    friend class TTaskQueue;
    TTaskQueue& fQueue;
    std::atomic<bool> fAbortTask{false};
    TLumo_BackupProfile* fBackup;
    TTaskStatus fStatus = TTaskStatus::tsQueue;
    std::unique_ptr<TEngineThread> fThread;
    bool fOnlyScan;
    std::optional<QStringList> fList;
};

// Starts the run of the first entry: makes the worker, hands it to the entry
// with SetThread and starts it. One per profile kind.
using TEngineStart = std::function<void(TBackupTask& task)>;

// The one queue of runs: strictly one at a time, in the order queued. Main
// thread only.
class TTaskQueue {
public:
    explicit TTaskQueue(TEngineServices& services);
    ~TTaskQueue();

    void SetEngineStart(TBackupClass kind, TEngineStart start);

    // Queues a run of the profile unless it is queued or running already.
    void RunTask(TLumo_BackupProfile& profile, bool nOnlyScan, const std::optional<QStringList>& nList = std::nullopt);
    // Stops the profile's running run or takes its queued runs out.
    void AbortTask(TLumo_BackupProfile& profile);
    // Stops everything: the queue is discarded and the running run stopped.
    void AbortAll();

    // At the end of the program: stops everything and serves the main thread
    // until the running worker's end routine has run (it still uses the queue).
    void Shutdown();

    void DispatchTasks();
    void FinishCurrentTask();
    // A worker's end routine: the run at the head of the queue has ended.
    void CurrentRunEnded();

    bool IsEmpty() const { return fTasks.empty(); }
    // True from the profile's queuing until the worker of its run has ended,
    // stopped or not: until then the task object must stay as it is.
    bool IsBusy(const TLumo_BackupProfile& profile) const;
    TBackupTask* First() const { return fTasks.empty() ? nullptr : fTasks.front().get(); }
    const std::deque<std::unique_ptr<TBackupTask>>& Tasks() const { return fTasks; }

    bool TaskRunning = false;
    bool AbortAllTasks = false;
    bool CloseAfterAll = false;
    // Called when the queue becomes empty while CloseAfterAll is set (the
    // window closes, the command-line tool ends).
    std::function<void()> OnCloseAfterAll;

private:
    friend class TBackupTask;
    void StartEngine(TBackupTask& task);
    // A run that will not happen: the profile and its task object go back to idle.
    void ResetQueuedProfile(TLumo_BackupProfile& profile);
    void RemoveTasksOf(const TLumo_BackupProfile& profile);
    void DispatchNext();
    // Tells the subscribers when whether a run is under way or the number of runs changed.
    void PublishState();

    // Takes over the worker of a finished run until its thread has ended.
    void ReapWhenEnded(const TLumo_BackupProfile& profile, std::unique_ptr<TEngineThread> thread);

    TEngineServices& fServices;
    std::deque<std::unique_ptr<TBackupTask>> fTasks;
    TEngineStart fStarts[3];
    // Workers past their end routine, with the profile whose run they were
    // (for IsBusy only, never dereferenced).
    struct TEndingWorker {
        const TLumo_BackupProfile* profile;
        std::unique_ptr<TEngineThread> thread;
    };
    std::vector<TEndingWorker> fEnding;
    QObject fReaper;
    bool fPublishedRunning = false;
    int fPublishedCount = 0;
};
