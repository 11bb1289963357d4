#include "scripts/script_thread.h"

#include "scripts/script_actions.h"
#include "util/main_thread.h"
#include "util/trash.h"
#include "util/tsan_annotations.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace {

// Longer pauses are cut to this (about a century), so the end time cannot overflow the clock.
constexpr qint64 kLongestPauseSeconds = 100LL * 366 * 24 * 3600;

} // namespace

TScriptThread::TScriptThread(TLumo_ScriptList actions, bool thisIsBefore)
    : fThisIsBefore(thisIsBefore), fActions(std::move(actions)) {}

TScriptThread::~TScriptThread() {
    AbortIt();
    wait();
    NORVANE_HANDED_OVER(static_cast<QThread*>(this));
}

void TScriptThread::AbortIt() {
    {
        // Setting the flag under the lock keeps a pause from missing the wake-up
        // between its check of the flag and its sleep.
        const std::lock_guard<std::mutex> lock(fWakeLock);
        fAbortTask = true;
    }
    fWake.notify_all();
}

void TScriptThread::Execute() {
    try {
        RunList();
    } catch (...) {
        // An error escaping an action ends the list quietly; the engine goes on
        // as after a normal end.
    }
}

void TScriptThread::RunList() {
    for (const TLumo_ProfileScript& action : fActions) {
        if (fAbortTask)
            return;
        const TActionType type = action.ActionType();
        if (type == TActionType::taBreakScript)
            return;
        if (type == TActionType::taBreakTask) {
            fTaskBroken = true;
            return;
        }
        if (action.IsIf())
            RunCondition(action);
        else
            RunSimpleAction(action);
    }
}

void TScriptThread::RunCondition(const TLumo_ProfileScript& condition) {
    const std::optional<bool> holds = EvaluateCondition(condition);
    if (!holds)
        return;
    for (const TLumo_ProfileScript& action : *holds ? condition.fIfYesList : condition.fIfNoList) {
        if (fAbortTask)
            return;
        RunSimpleAction(action);
    }
}

void TScriptThread::RunSimpleAction(const TLumo_ProfileScript& action) {
    switch (action.ActionType()) {
    case TActionType::taPause: Pause(PauseSeconds(action)); break;
    case TActionType::taExecute: ExecuteAction(action); break;
    case TActionType::taEmptyRecycleBin: EmptyRecycleBin(); break;
    case TActionType::taDeleteFile: DeleteFileAction(action); break;
    case TActionType::taDeleteFolder: DeleteFolderAction(action); break;
    default: break; // taBlank, and kinds that have no place here
    }
}

void TScriptThread::Pause(qint64 seconds) {
    if (seconds <= 0)
        return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::min(seconds, kLongestPauseSeconds));
    std::unique_lock<std::mutex> lock(fWakeLock);
    fWake.wait_until(lock, end, [this] { return fAbortTask.load(); });
}

void TScriptThreadSlot::Abort() {
    const std::lock_guard<std::mutex> lock(fLock);
    fAborted = true;
    if (fThread)
        fThread->AbortIt();
}

void TScriptThreadSlot::AbortAndWait() {
    {
        const std::lock_guard<std::mutex> lock(fLock);
        fAborted = true;
        if (!fThread)
            return;
        fThread->AbortIt();
        if (QThread::currentThread() == fThread)
            return;
    }
    ServeMainThreadWhile([this] { return IsBusy(); });
}

bool TScriptThreadSlot::Aborted() const {
    const std::lock_guard<std::mutex> lock(fLock);
    return fAborted;
}

bool TScriptThreadSlot::IsBusy() const {
    const std::lock_guard<std::mutex> lock(fLock);
    return fThread != nullptr;
}

// Registers a script thread in its slot for the binding's lifetime; a slot
// already stopped stops the thread before it runs its first action.
class TScriptSlotBinding {
public:
    TScriptSlotBinding(TScriptThreadSlot& slot, TScriptThread& thread) : fSlot(slot) {
        const std::lock_guard<std::mutex> lock(fSlot.fLock);
        fSlot.fThread = &thread;
        if (fSlot.fAborted)
            thread.AbortIt();
    }
    ~TScriptSlotBinding() {
        const std::lock_guard<std::mutex> lock(fSlot.fLock);
        fSlot.fThread = nullptr;
    }
    TScriptSlotBinding(const TScriptSlotBinding&) = delete;
    TScriptSlotBinding& operator=(const TScriptSlotBinding&) = delete;

private:
    TScriptThreadSlot& fSlot;
};

TScriptResult RunScripts(const TLumo_ScriptList& list, bool nThisIsBefore, TScriptThreadSlot& slot) {
    if (list.empty() || slot.Aborted())
        return {};
    TScriptThread thread(list, nThisIsBefore);
    {
        // The binding ends (and releases the slot) only after the thread has ended.
        const TScriptSlotBinding binding(slot, thread);
        thread.start();
        if (IsMainThread())
            ServeMainThreadWhile([&thread] { return thread.isRunning(); });
        else
            thread.wait();
        NORVANE_HANDED_OVER(static_cast<QThread*>(&thread));
    }
    return TScriptResult{thread.TaskBroken()};
}
