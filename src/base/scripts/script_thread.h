#pragma once

#include "scripts/script_list.h"
#include "util/tsan_annotations.h"

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

// Runs one script list of a profile on its own thread: conditions, pauses,
// program starts and deletions, until the list ends, a list-control action
// ends it or AbortIt is called. The list is copied when the thread object is
// made, so the thread never reads the profile.
//
// Engines do not use it directly but through RunScripts below; the object is
// destroyed by whoever made it, after it has ended.
class TScriptThread : public QThread {
public:
    // Runs a copy of the given list, a profile's before list (thisIsBefore) or
    // after list. Make it on the thread that may read that list (the main
    // thread or the engine's worker).
    explicit TScriptThread(TLumo_ScriptList actions, bool thisIsBefore = true);
    // Stops a thread still running and waits for it.
    ~TScriptThread() override;
    TScriptThread(const TScriptThread&) = delete;
    TScriptThread& operator=(const TScriptThread&) = delete;

    // Asks the list to stop: a pause ends at once, no further action starts.
    // An action already under way (a program start, a move to the Trash, a
    // process lookup) finishes first. Any thread; also before start().
    void AbortIt();
    bool AbortRequested() const { return fAbortTask; }

    bool ThisIsBefore() const { return fThisIsBefore; }
    // True once the list reached taBreakTask. The thread only reports it: the
    // engine, after the thread has ended, stops its run exactly as the user's
    // Stop does (the task ends as cancelled, a before list skips the job and
    // the after list).
    bool TaskBroken() const { return fTaskBroken; }

protected:
    void run() override {
        Execute();
        NORVANE_HAND_OVER(static_cast<QThread*>(this));
    }

private:
    void Execute();
    void RunList();
    void RunCondition(const TLumo_ProfileScript& condition);
    void RunSimpleAction(const TLumo_ProfileScript& action);
    void Pause(qint64 seconds);

    std::atomic<bool> fAbortTask{false};
    bool fThisIsBefore;
    TLumo_ScriptList fActions;
    std::atomic<bool> fTaskBroken{false};
    // A pause sleeps on this until its end or a stop, so the stop wakes it at once.
    std::mutex fWakeLock;
    std::condition_variable fWake;
};

// Where an engine keeps the script thread of its run, so that its abort on the
// main thread can reach it. One per run, shared by the worker (RunScripts) and
// the engine's AbortTask; it must outlive both uses.
class TScriptThreadSlot {
public:
    TScriptThreadSlot() = default;
    TScriptThreadSlot(const TScriptThreadSlot&) = delete;
    TScriptThreadSlot& operator=(const TScriptThreadSlot&) = delete;

    // Stops the running script thread, if any. The stop holds for the rest of
    // the run: a list started through this slot afterwards runs no action, so
    // a stop that comes just before a list starts is not lost. Any thread.
    void Abort();
    // Abort, then wait until the script thread has ended and RunScripts has
    // released it, serving the main thread's synchronous calls meanwhile. For
    // the engine's AbortTask on the main thread. Called on the script thread
    // itself it does not wait (that would never end).
    void AbortAndWait();
    bool Aborted() const;
    // True while a script thread is registered (between its start and release).
    bool IsBusy() const;

private:
    friend class TScriptSlotBinding;
    mutable std::mutex fLock;
    TScriptThread* fThread = nullptr;
    bool fAborted = false;
};

struct TScriptResult {
    // taBreakTask was reached: the engine must stop its run as the user's Stop does.
    bool TaskBroken = false;
};

// Runs a profile's before list (nThisIsBefore) or after list on a script
// thread and returns when that thread has ended and been released. Called by
// the engine's worker, best with a list it copied when its run started, so
// that it never reads the profile while the main thread may change it. The
// list is copied on the calling thread, the thread is registered in the slot
// while it runs, and an empty list starts no thread. Typical use in a worker:
//
//     if (!aborted && !onlyScan) {
//         RunOnMainThread([&] { /* status fsScriptBefore, repaint */ });
//         if (RunScripts(fScriptsBefore, true, fScriptSlot).TaskBroken)
//             RunOnMainThread([&] { /* the profile's AbortTask, as the user's Stop */ });
//     }
//
// and in the engine's AbortTask (main thread): fScriptSlot.AbortAndWait().
TScriptResult RunScripts(const TLumo_ScriptList& list, bool nThisIsBefore, TScriptThreadSlot& slot);
