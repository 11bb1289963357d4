#include "profiles/task_queue.h"

#include "profiles/backup_profile.h"
#include "profiles/engine_events.h"
#include "profiles/engine_services.h"
#include "profiles/engine_thread.h"
#include "util/main_thread.h"
#include "util/tsan_annotations.h"

#include <algorithm>

TBackupTask::TBackupTask(TTaskQueue& queue, TLumo_BackupProfile& profile, bool onlyScan,
                         std::optional<QStringList> list)
    : fQueue(queue), fBackup(&profile), fOnlyScan(onlyScan), fList(std::move(list)) {}

TBackupTask::~TBackupTask() = default;

void TBackupTask::SetThread(std::unique_ptr<TEngineThread> nThread) {
    fThread = std::move(nThread);
    fStatus = TTaskStatus::tsRun;
    fBackup->SetStatus(TTaskStatus::tsRun);
}

void TBackupTask::Finished() {
    TTaskQueue& queue = fQueue;
    TLumo_BackupProfile& profile = *fBackup;
    queue.ReapWhenEnded(profile, std::move(fThread));
    fStatus = TTaskStatus::tsNone;
    profile.SetStatus(TTaskStatus::tsNone);
    profile.RepaintNode();

    // The kind decides whether a failed run is tried once more; the retry goes
    // to the end of the queue.
    if (profile.Task().RetriesFailedRun(*this))
        queue.RunTask(profile, false);

    queue.FinishCurrentTask(); // releases this entry
}

void TBackupTask::AbortTask() {
    fAbortTask = true;
    TLumo_BackupProfile& profile = *fBackup;
    if (fThread) {
        fThread->AbortTask();
        profile.SetStatus(TTaskStatus::tsNone);
    } else {
        fQueue.RemoveTasksOf(profile); // releases this entry
    }
    profile.RepaintNode();
}

TTaskQueue::TTaskQueue(TEngineServices& services) : fServices(services) {}

void TTaskQueue::Shutdown() {
    if (!TaskRunning && fTasks.empty())
        return;
    AbortAll();
    ServeMainThreadWhile([this] { return TaskRunning; });
}

TTaskQueue::~TTaskQueue() {
    // Workers of finished runs are past their end routine and need nothing of
    // the main thread any more.
    for (auto& ending : fEnding) {
        ending.thread->wait();
        NORVANE_HANDED_OVER(static_cast<QThread*>(ending.thread.get()));
    }
}

void TTaskQueue::SetEngineStart(TBackupClass kind, TEngineStart start) {
    if (kind != TBackupClass::bcNone)
        fStarts[static_cast<int>(kind)] = std::move(start);
}

void TTaskQueue::RunTask(TLumo_BackupProfile& profile, bool nOnlyScan, const std::optional<QStringList>& nList) {
    if (!profile.Task().PrepareRun(nOnlyScan))
        return;
    fTasks.push_back(std::make_unique<TBackupTask>(*this, profile, nOnlyScan, nList));
    profile.SetStatus(TTaskStatus::tsQueue);
    DispatchTasks();
    profile.SetFullValues();
    profile.RepaintNode();
}

void TTaskQueue::RemoveTasksOf(const TLumo_BackupProfile& profile) {
    for (auto i = fTasks.size(); i-- > 0;)
        if (&fTasks[i]->Profile() == &profile)
            fTasks.erase(fTasks.begin() + static_cast<std::ptrdiff_t>(i));
    PublishState();
}

void TTaskQueue::ResetQueuedProfile(TLumo_BackupProfile& profile) {
    profile.SetStatus(TTaskStatus::tsNone);
    profile.Task().ResetUnqueued();
    profile.SetFullValues();
    profile.RepaintNode();
}

void TTaskQueue::AbortTask(TLumo_BackupProfile& profile) {
    switch (profile.Status()) {
    case TTaskStatus::tsNone: return;
    case TTaskStatus::tsRun:
        if (TBackupTask* first = First())
            first->AbortTask();
        return;
    case TTaskStatus::tsQueue: break;
    }
    RemoveTasksOf(profile);
    ResetQueuedProfile(profile);
    DispatchTasks();
}

void TTaskQueue::AbortAll() {
    AbortAllTasks = true;
    if (TBackupTask* first = First())
        first->AbortTask();
    DispatchTasks();
}

void TTaskQueue::DispatchTasks() {
    DispatchNext();
    PublishState();
}

void TTaskQueue::PublishState() {
    const int count = static_cast<int>(fTasks.size());
    if (TaskRunning == fPublishedRunning && count == fPublishedCount)
        return;
    fPublishedRunning = TaskRunning;
    fPublishedCount = count;
    emit fServices.Events().queueStateChanged(TaskRunning, count);
}

void TTaskQueue::DispatchNext() {
    if (fServices.AppClosing || AbortAllTasks) {
        // The running entry stays until its worker's end routine; the others
        // are discarded and reset as a stop of a queued run would, so their
        // rows do not stay "in queue".
        while (fTasks.size() > (TaskRunning ? 1u : 0u)) {
            std::unique_ptr<TBackupTask> task = std::move(fTasks.back());
            fTasks.pop_back();
            if (task->Profile().Status() == TTaskStatus::tsQueue)
                ResetQueuedProfile(task->Profile());
        }
        // Once everything has stopped, runs may be queued again.
        if (fTasks.empty())
            AbortAllTasks = false;
        return;
    }
    if (TaskRunning)
        return;
    if (fTasks.empty()) {
        if (CloseAfterAll) {
            fServices.AppClosing = true;
            if (OnCloseAfterAll)
                OnCloseAfterAll();
        }
        return;
    }
    TBackupTask& first = *fTasks.front();
    first.fStatus = TTaskStatus::tsRun;
    TaskRunning = true;
    StartEngine(first);
}

void TTaskQueue::StartEngine(TBackupTask& task) {
    const TBackupClass kind = task.Profile().Kind();
    if (kind != TBackupClass::bcNone && fStarts[static_cast<int>(kind)]) {
        fStarts[static_cast<int>(kind)](task);
        return;
    }
    // No engine for this kind: the run ends at once without doing anything.
    ResetQueuedProfile(task.Profile());
    FinishCurrentTask();
}

void TTaskQueue::CurrentRunEnded() {
    if (!fTasks.empty())
        fTasks.front()->Finished();
}

void TTaskQueue::FinishCurrentTask() {
    if (!fTasks.empty())
        fTasks.pop_front();
    TaskRunning = false;
    DispatchTasks();
}

bool TTaskQueue::IsBusy(const TLumo_BackupProfile& profile) const {
    return std::any_of(fTasks.begin(), fTasks.end(), [&](const auto& task) { return &task->Profile() == &profile; }) ||
           std::any_of(fEnding.begin(), fEnding.end(), [&](const auto& ending) { return ending.profile == &profile; });
}

void TTaskQueue::ReapWhenEnded(const TLumo_BackupProfile& profile, std::unique_ptr<TEngineThread> thread) {
    if (!thread)
        return;
    TEngineThread* raw = thread.get();
    fEnding.push_back(TEndingWorker{&profile, std::move(thread)});
    // Posted to the main thread from the ending thread itself, so the thread
    // object is never deleted inside its own signal; fReaper drops the call if
    // the queue goes first (its destructor waits for the thread). The end is
    // marked for the race detector after the post, the worker's last act.
    QObject::connect(
        raw, &QThread::finished, raw,
        [this, raw] {
            PostToMainThread(
                [this, raw] {
                    // Already reaped below if it ended before the connection was made.
                    if (std::none_of(fEnding.begin(), fEnding.end(), [raw](const auto& ending) { return ending.thread.get() == raw; }))
                        return;
                    raw->wait();
                    NORVANE_HANDED_OVER(static_cast<QThread*>(raw));
                    std::erase_if(fEnding, [raw](const auto& ending) { return ending.thread.get() == raw; });
                },
                &fReaper);
            NORVANE_HAND_OVER(static_cast<QThread*>(raw));
        },
        Qt::DirectConnection);
    if (raw->isFinished()) {
        raw->wait();
        NORVANE_HANDED_OVER(static_cast<QThread*>(raw));
        std::erase_if(fEnding, [raw](const auto& ending) { return ending.thread.get() == raw; });
    }
}
