#include "app/window_commands.h"

#include "app/app_context.h"
#include "profiles/engine_thread.h"
#include "profiles/task_queue.h"
#include "scheduler/cron_entry.h"
#include "scheduler/schedule.h"
#include "settings/save_settings.h"

#include <exception>

std::optional<TGL_Profile> ProfileRow(const TAppContext& context, const QString& uid) {
    if (const TLumo_BackupProfile* profile = context.FindProfileByUID(uid))
        return profile->Values();
    return std::nullopt;
}

bool IsProfileIdle(const TAppContext& context, const QString& uid) {
    const TLumo_BackupProfile* profile = context.FindProfileByUID(uid);
    return profile && profile->Status() == TTaskStatus::tsNone;
}

void RunProfile(TAppContext& context, const QString& uid, bool onlyScan) {
    if (TLumo_BackupProfile* profile = context.FindProfileByUID(uid))
        profile->RunTask(onlyScan);
}

void AbortProfile(TAppContext& context, const QString& uid) {
    if (TLumo_BackupProfile* profile = context.FindProfileByUID(uid))
        profile->AbortTask();
}

void ToggleProfileRun(TAppContext& context, const QString& uid) {
    TLumo_BackupProfile* profile = context.FindProfileByUID(uid);
    if (!profile)
        return;
    if (profile->Status() == TTaskStatus::tsNone)
        profile->RunTask(false);
    else
        profile->AbortTask();
}

QStringList DeleteIdleProfiles(TAppContext& context, const QStringList& uids) {
    QStringList deleted;
    for (const QString& uid : uids) {
        TLumo_BackupProfile* profile = context.FindProfileByUID(uid);
        if (!profile || profile->Status() != TTaskStatus::tsNone)
            continue;
        // Delete refuses a profile whose stopped worker is still winding down.
        if (profile->Delete())
            deleted << uid;
    }
    if (!deleted.isEmpty()) {
        context.Saver().AddNewTask(TSaveSetType::stCrone);
        context.Saver().AddNewTask(TSaveSetType::stListPos);
    }
    return deleted;
}

void SetRowOrder(TAppContext& context, const QStringList& uids) {
    context.SetDisplayOrder(uids);
    context.Saver().AddNewTask(TSaveSetType::stListPos);
}

void ApplyTaskPriority(TAppContext& context, bool mainFormHidden) {
    const bool low = context.Options.LowPriorityWhenHiden && mainFormHidden;
    // Only the worker yields. Here a raised niceness cannot be taken back
    // without a privilege the user rarely has, so lowering the process (whose
    // main thread draws the window) would keep it slow after it is shown again.
    for (const auto& task : context.TaskQueue().Tasks())
        if (task->Status() == TTaskStatus::tsRun && task->Thread())
            task->Thread()->SetLowPriority(low);
}

bool IsQueueRunning(const TAppContext& context) { return context.TaskQueue().TaskRunning; }

namespace {

template <typename Step>
void IgnoringFailure(Step step) {
    try {
        step();
    } catch (const std::exception&) {
        // Closing goes on: the remaining steps still release what they own.
    }
}

} // namespace

void WriteFinalSave(TAppContext& context) {
    // A closing context refuses save passes: this last one is let through.
    const bool closing = context.AppClosing;
    context.AppClosing = false;
    IgnoringFailure([&] {
        context.Saver().RunSaveAndWait();
        // A pass that found no data folder only made it; the requests still
        // wait, and there is no later pass to write them.
        if (!context.Saver().WaitingRequests().empty())
            context.Saver().RunSaveAndWait();
    });
    context.AppClosing = closing;
}

void ShutdownEngine(TAppContext& context) {
    IgnoringFailure([&] {
        context.AppClosing = true;
        context.TaskQueue().AbortAllTasks = true;
        if (TBackupTask* first = context.TaskQueue().First())
            first->AbortTask();
    });
    context.Schedule().ArmAll(false);
    context.TaskQueue().Shutdown();
    // After the runs have ended, so that what they recorded is written too.
    WriteFinalSave(context);
}
