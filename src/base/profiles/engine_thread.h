#pragma once

#include "scripts/script_list.h"
#include "scripts/script_thread.h"
#include "util/tsan_annotations.h"
#include "util/worker_pacing.h"

#include <QThread>

class TLumo_BackupProfile;

// The worker thread of one run (sync, archive backup, folder archiving).
// Execute is run(); everything that touches shared state or the display goes
// through RunOnMainThread. The thread object is owned by the task queue entry
// that runs it and released after the end routine has called Finished.
//
// What every kind's run does alike lives here: the profile's script lists,
// copied when the run is made, run before and after the work; the priority
// the main thread asks for, applied by the worker itself.
class TEngineThread : public QThread {
    Q_OBJECT
public:
    // Called on the main thread: requests the stop (see the engines), tells the
    // scanner and a running script thread to stop, waits for the script thread
    // while serving the main thread, and resets the task object's progress and
    // status at once. The worker then winds down and reaches its end routine.
    virtual void AbortTask() = 0;
    // Lowest or normal priority for the worker while it runs; any thread.
    virtual void SetLowPriority(bool low) { fWantedPriority.Request(low); }

protected:
    // Copies the profile's script lists; call on the main thread. Without a
    // profile (a task object on its own) the run has no scripts.
    explicit TEngineThread(TLumo_BackupProfile* profile = nullptr);

    // On the worker: takes up the priority asked for since the last check.
    void ApplyWantedPriority() { fWantedPriority.ApplyIfChanged(); }
    // On the worker: runs the before or the after list; a script that breaks
    // the task stops the profile's run as the user's Stop does.
    void RunProfileScripts(bool before);
    // On the main thread, from AbortTask: stops a running script and waits for its end.
    void StopScripts() { fScriptSlot.AbortAndWait(); }

private:
    TLumo_BackupProfile* fProfile;
    TLumo_ScriptList fScriptsBefore;
    TLumo_ScriptList fScriptsAfter;
    // The script thread running now, reachable by AbortTask.
    TScriptThreadSlot fScriptSlot;
    TWantedPriority fWantedPriority;
};
