#include "app/app_context.h"

#include "app/save_steps.h"
#include "folderzip/folderzip_persistence.h"
#include "folderzip/folderzip_task.h"
#include "folderzip/folderzip_thread.h"
#include "profiles/task_queue.h"
#include "scheduler/cron_entry.h"
#include "scheduler/schedule.h"
#include "settings/save_settings.h"
#include "sync/sync_persistence.h"
#include "sync/sync_thread.h"
#include "zip/zip_persistence.h"
#include "zip/zip_thread.h"

#include <QSet>

#include <cassert>

namespace {

// Living contexts, oldest first; the newest is the current one. Contexts may
// end in any order (tests replace theirs), so each takes only itself out.
std::vector<TAppContext*>& LiveContexts() {
    static std::vector<TAppContext*> live;
    return live;
}

void InstallCurrentLanguage() {
    const auto& live = LiveContexts();
    TLanguage::SetCurrent(live.empty() ? nullptr : &live.back()->Language);
}

} // namespace

TAppContext::TAppContext(TAppPaths paths) : fPaths(std::move(paths)), fEvents(std::make_unique<TEngineEvents>()) {
    TScheduleHooks hooks;
    hooks.StoredProfileUID = [this](const QString& uid) {
        const TLumo_BackupProfile* profile = FindProfileByUID(uid);
        return profile ? profile->UID() : QString();
    };
    hooks.ProfileUIDs = [this] {
        QStringList uids;
        for (const auto& profile : fProfiles)
            uids << profile->UID();
        return uids;
    };
    hooks.StartProfile = [this](const QString& uid) {
        if (TLumo_BackupProfile* profile = FindProfileByUID(uid))
            profile->OnCronAction();
    };
    fSchedule = std::make_unique<TSchedule>(std::move(hooks));
    TSaveHooks saveHooks;
    saveHooks.PassAllowed = [this] { return !SettingsLocked && !AppClosing; };
    saveHooks.ApplyRequest = [this](IniDocument& ini, const TSaveTask& task) { ApplySaveRequest(ini, task, *this); };
    fSaver = std::make_unique<TSaveSettings>(fPaths.DataFolder, fPaths.SettingsFile(), std::move(saveHooks));
    fTaskQueue = std::make_unique<TTaskQueue>(*this);
    RegisterSyncEngine(*fTaskQueue);
    RegisterZipEngine(*fTaskQueue);
    RegisterFolderZipEngine(*fTaskQueue);
    fProfileKinds.Register(SyncProfileKind());
    fProfileKinds.Register(ZipProfileKind());
    fProfileKinds.Register(FolderZipProfileKind());
    LiveContexts().push_back(this);
    InstallCurrentLanguage();
}

TAppContext::~TAppContext() {
    // Nothing may start a run any more: winding down below serves the main
    // thread's events, the schedule's timers among them.
    for (const auto& entry : fSchedule->Entries())
        entry->ArmTimer(false);
    // Runs end next: their workers still use the queue, the profiles and the store.
    fTaskQueue->Shutdown();
    // A save pass still running reads the profiles; it ends while all is alive.
    fSaver->WaitWhileActive();
    fTaskQueue.reset();
    // Requests still waiting are dropped, as at the end of the program.
    fSaver.reset();
    fSchedule->Entries().clear();
    // The context ends: no one is told of each profile going.
    ReleaseProfiles();
    std::erase(LiveContexts(), this);
    InstallCurrentLanguage();
}

TAppContext& TAppContext::Current() {
    assert(!LiveContexts().empty() && "no application context");
    return *LiveContexts().back();
}

TLumo_BackupProfile* TAppContext::FindProfileByUID(const QString& uid) const { return fProfileByUID.value(uid); }

bool TAppContext::IsUIDUnique(const QString& uid) const { return FindProfileByUID(uid) == nullptr; }

void TAppContext::AppendProfile(std::unique_ptr<TLumo_BackupProfile> profile) {
    if (!fProfileByUID.contains(profile->UID()))
        fProfileByUID.insert(profile->UID(), profile.get());
    fProfiles.push_back(std::move(profile));
}

std::unique_ptr<TLumo_BackupProfile> TAppContext::TakeProfile(const TLumo_BackupProfile& profile) {
    for (auto it = fProfiles.begin(); it != fProfiles.end(); ++it)
        if (it->get() == &profile) {
            std::unique_ptr<TLumo_BackupProfile> taken = std::move(*it);
            fProfiles.erase(it);
            UnindexProfile(*taken);
            return taken;
        }
    return nullptr;
}

void TAppContext::UnindexProfile(const TLumo_BackupProfile& profile) {
    const QString& uid = profile.UID();
    if (fProfileByUID.value(uid) != &profile)
        return;
    fProfileByUID.remove(uid);
    // Another profile with the same UID, if any, is found as before: the first in the list.
    for (const auto& p : fProfiles)
        if (p->UID() == uid) {
            fProfileByUID.insert(uid, p.get());
            break;
        }
}

void TAppContext::ClearProfiles() {
    // No run may outlive its profile.
    if (fTaskQueue)
        fTaskQueue->Shutdown();
    for (const auto& p : fProfiles)
        emit fEvents->profileAboutToBeRemoved(p->UID());
    ReleaseProfiles();
}

void TAppContext::ReleaseProfiles() {
    if (fTaskQueue)
        fTaskQueue->Shutdown();
    fProfileByUID.clear();
    fProfiles.clear();
}

QStringList TAppContext::DisplayOrderUIDs() const {
    QStringList order;
    QSet<QString> placed;
    for (const QString& uid : fDisplayOrder ? *fDisplayOrder : Saver().fPosition)
        if (!placed.contains(uid) && FindProfileByUID(uid)) {
            order << uid;
            placed.insert(uid);
        }
    for (const auto& p : fProfiles)
        if (!placed.contains(p->UID())) {
            order << p->UID();
            placed.insert(p->UID());
        }
    return order;
}

void TAppContext::UpdateAllHaveCron() {
    for (const auto& p : fProfiles)
        p->UpdateHaveCron();
}

void TAppContext::RefreshAllProfileTexts() {
    for (const auto& p : fProfiles) {
        p->Task().RefreshTexts();
        p->SetFullValues();
    }
    for (const auto& p : fProfiles)
        p->RepaintNode();
}
