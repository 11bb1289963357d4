#include "profiles/backup_profile.h"

#include "app/app_context.h"
#include "app/task_queue.h"
#include "folderzip/folderzip_task.h"
#include "scheduler/schedule.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "zip/zip_task.h"

TLumo_BackupProfile::TLumo_BackupProfile(TAppContext& context, TBackupClass kind, const QString& uid)
    : fContext(context), fIsType(kind) {
    fValues.sUID = uid;
    fValues.tClass = kind;
}

TLumo_BackupProfile::~TLumo_BackupProfile() = default;

TLumo_BackupProfile& TLumo_BackupProfile::Append(TAppContext& context, std::unique_ptr<TLumo_BackupProfile> profile) {
    TLumo_BackupProfile& ref = *profile;
    context.AppendProfile(std::move(profile));
    return ref;
}

TLumo_BackupProfile& TLumo_BackupProfile::NewSync(TAppContext& context, std::unique_ptr<TLumo_Sync> task) {
    std::unique_ptr<TLumo_BackupProfile> profile(new TLumo_BackupProfile(context, TBackupClass::bcSync, task->UID()));
    profile->fSync = std::move(task);
    return Append(context, std::move(profile));
}

TLumo_BackupProfile& TLumo_BackupProfile::NewZip(TAppContext& context, std::unique_ptr<TLumo_Zip> task) {
    std::unique_ptr<TLumo_BackupProfile> profile(new TLumo_BackupProfile(context, TBackupClass::bcZip, task->UID()));
    profile->fZip = std::move(task);
    return Append(context, std::move(profile));
}

TLumo_BackupProfile& TLumo_BackupProfile::NewFolderZip(TAppContext& context, std::unique_ptr<TLumo_FolderZip> task) {
    std::unique_ptr<TLumo_BackupProfile> profile(
        new TLumo_BackupProfile(context, TBackupClass::bcFolderZip, task->UID()));
    profile->fFolderZip = std::move(task);
    return Append(context, std::move(profile));
}

QString TLumo_BackupProfile::Title() const {
    switch (fIsType) {
    case TBackupClass::bcSync: return fSync->Title();
    case TBackupClass::bcZip: return fZip->Title();
    case TBackupClass::bcFolderZip: return fFolderZip->Title();
    case TBackupClass::bcNone: break;
    }
    return {};
}

void TLumo_BackupProfile::SetScriptLists(const TLumo_ScriptList& before, const TLumo_ScriptList& after, bool nNeedSave) {
    fScriptList_Before = before;
    fScriptList_After = after;
    if (nNeedSave)
        fContext.Saver().AddNewTask(TSaveSetType::stProfileScripts, UID());
}

namespace {

template <typename Task>
QString StatusWithError(const QString& status, const Task& task) {
    if (task.LastError() == TLumo_Error::feNone)
        return status;
    return status + QStringLiteral(". ") + task.LastErrorText();
}

} // namespace

void TLumo_BackupProfile::SetFullValues() {
    fValues.tAction = fStatus;
    switch (fIsType) {
    case TBackupClass::bcSync: {
        const TLumo_Sync& s = *fSync;
        fValues.txtTitle = s.Title();
        fValues.txtStatus = StatusWithError(s.SyncStatusText(), s);
        fValues.txtLastSync = s.LastOnlyScan() || fStatus != TTaskStatus::tsNone ? s.ResultText() : s.LastActiveString();
        break;
    }
    case TBackupClass::bcZip: {
        const TLumo_Zip& z = *fZip;
        fValues.txtTitle = z.Title();
        fValues.txtStatus = StatusWithError(z.StatusText(), z);
        fValues.txtLastSync = z.ResultText();
        break;
    }
    case TBackupClass::bcFolderZip: {
        const TLumo_FolderZip& f = *fFolderZip;
        fValues.txtTitle = f.Title();
        fValues.txtStatus = StatusWithError(f.StatusText(), f);
        fValues.txtLastSync = f.ScanResultText().isEmpty() ? f.ResultText() : f.ScanResultText();
        break;
    }
    case TBackupClass::bcNone: return;
    }
    SetProgress();
}

void TLumo_BackupProfile::SetProgress() {
    switch (fIsType) {
    case TBackupClass::bcSync:
        fValues.iProgress = fSync->Progress();
        fValues.iFullProgress = fSync->ProgressFull();
        break;
    case TBackupClass::bcZip:
        // An archive backup has one progress value; the second bar stays empty.
        fValues.iProgress = fZip->Progress();
        fValues.iFullProgress = 0;
        break;
    case TBackupClass::bcFolderZip:
        fValues.iProgress = fFolderZip->Progress();
        fValues.iFullProgress = fFolderZip->ProgressFull();
        break;
    case TBackupClass::bcNone: break;
    }
}

void TLumo_BackupProfile::RepaintNode() {
    if (fContext.AppClosing)
        return;
    emit fContext.Events().profileChanged(UID(), fValues);
}

void TLumo_BackupProfile::UpdateHaveCron() {
    const bool have = fContext.Schedule().HasEnabledEntryFor(UID());
    if (have == fValues.bHaveCron)
        return;
    fValues.bHaveCron = have;
    RepaintNode();
}

void TLumo_BackupProfile::RunTask(bool nOnlyScan, const std::optional<QStringList>& nList) {
    fContext.TaskQueue().RunTask(*this, nOnlyScan, nList);
}

void TLumo_BackupProfile::AbortTask() { fContext.TaskQueue().AbortTask(*this); }

void TLumo_BackupProfile::OnCronAction() {
    RunTask(false);
    UpdateHaveCron();
    fContext.Saver().AddNewTask(TSaveSetType::stCrone);
}

bool TLumo_BackupProfile::Delete() {
    // The worker of a run uses the task object until it has ended.
    if (fContext.TaskQueue().IsBusy(*this))
        return false;
    fContext.Schedule().RemoveEntriesOf(UID());
    fContext.Saver().AddNewTask(TSaveSetType::stDelProfile, UID());
    emit fContext.Events().profileAboutToBeRemoved(UID());
    // Taking the profile out of the list releases it with its task object.
    fContext.TakeProfile(*this);
    return true;
}
