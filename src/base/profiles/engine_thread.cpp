#include "profiles/engine_thread.h"

#include "profiles/backup_profile.h"
#include "util/main_thread.h"

TEngineThread::TEngineThread(TLumo_BackupProfile* profile) : fProfile(profile) {
    if (profile) {
        fScriptsBefore = profile->ScriptsBefore();
        fScriptsAfter = profile->ScriptsAfter();
    }
    // Whoever deletes the worker waits for its end through Qt's thread end,
    // which the race detector cannot see; the finished signal is the last
    // thing the worker's thread emits, so mark the end there.
    connect(
        this, &QThread::finished, this, [this] { NORVANE_HAND_OVER(static_cast<QThread*>(this)); },
        Qt::DirectConnection);
}

void TEngineThread::RunProfileScripts(bool before) {
    // The script thread and the programs it starts take the worker's priority.
    ApplyWantedPriority();
    if (!RunScripts(before ? fScriptsBefore : fScriptsAfter, before, fScriptSlot).TaskBroken || !fProfile)
        return;
    TLumo_BackupProfile* profile = fProfile;
    RunOnMainThread([profile] { profile->AbortTask(); });
}
