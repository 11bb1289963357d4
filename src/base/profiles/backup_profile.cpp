#include "profiles/backup_profile.h"

#include "profiles/engine_events.h"
#include "profiles/engine_services.h"
#include "profiles/task_queue.h"
#include "scheduler/schedule.h"
#include "settings/save_settings.h"

TLumo_BackupProfile::TLumo_BackupProfile(TEngineServices& context, TBackupClass kind, const QString& uid,
                                         std::unique_ptr<ITaskObject> task)
    : fContext(context), fTask(std::move(task)), fIsType(kind) {
    fValues.sUID = uid;
    fValues.tClass = kind;
}

TLumo_BackupProfile::~TLumo_BackupProfile() = default;

TLumo_BackupProfile& TLumo_BackupProfile::New(TEngineServices& context, TBackupClass kind, const QString& uid,
                                              std::unique_ptr<ITaskObject> task) {
    std::unique_ptr<TLumo_BackupProfile> profile(new TLumo_BackupProfile(context, kind, uid, std::move(task)));
    TLumo_BackupProfile& ref = *profile;
    context.AppendProfile(std::move(profile));
    return ref;
}

QString TLumo_BackupProfile::Title() const { return fTask->Title(); }

void TLumo_BackupProfile::SetScriptLists(const TLumo_ScriptList& before, const TLumo_ScriptList& after, bool nNeedSave) {
    fScriptList_Before = before;
    fScriptList_After = after;
    if (nNeedSave)
        fContext.Saver().AddNewTask(TSaveSetType::stProfileScripts, UID());
}

void TLumo_BackupProfile::SetFullValues() {
    fValues.tAction = fStatus;
    const ITaskObject& task = *fTask;
    fValues.txtTitle = task.Title();
    fValues.txtStatus = task.StatusText();
    if (task.LastError() != TLumo_Error::feNone)
        fValues.txtStatus += QStringLiteral(". ") + task.LastErrorText();
    fValues.txtLastSync = task.RowResultText(fStatus);
    SetProgress();
}

void TLumo_BackupProfile::SetProgress() {
    fValues.iProgress = fTask->Progress();
    fValues.iFullProgress = fTask->ProgressFull();
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

void TLumo_BackupProfile::RemoveLinks() {
    if (fTask->HasResultWindow() && !fContext.AppClosing)
        emit fContext.Events().resultLinksRemoved(UID());
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
    RemoveLinks();
    // Taking the profile out of the list releases it with its task object.
    fContext.TakeProfile(*this);
    return true;
}
