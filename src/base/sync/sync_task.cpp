#include "sync/sync_task.h"

#include "lang/language.h"
#include "profiles/backup_profile.h"
#include "profiles/drive_binding.h"
#include "profiles/engine_services.h"
#include "profiles/profile_texts.h"
#include "profiles/profile_uid.h"
#include "profiles/task_queue.h"
#include "profiles/task_texts.h"
#include "settings/save_settings.h"
#include "sync/sync_analysis.h"
#include "sync/sync_persistence.h"
#include "sync/sync_run_state.h"
#include "sync/sync_thread.h"
#include "util/string_lists.h"
#include "util/text_format.h"

#include <memory>

TLumo_Sync::TLumo_Sync(QString uid) : fUID(std::move(uid)) {}

TLumo_Sync::~TLumo_Sync() = default;

TLumo_Sync& TLumo_Sync::Create(TEngineServices& context, const QString& uid) {
    std::unique_ptr<TLumo_Sync> task(
        new TLumo_Sync(uid.isEmpty() ? MakeProfileUID(context, SyncProfileKind().UIDPrefix) : uid));
    TLumo_Sync& self = *task;
    self.SetSyncStatus(TLumo_Operation::fsNone);
    self.fLumoBackup = &TLumo_BackupProfile::New(context, TBackupClass::bcSync, self.fUID, std::move(task));
    return self;
}

TLumo_Sync* TLumo_BackupProfile::Sync() const { return static_cast<TLumo_Sync*>(TaskOfKind(TBackupClass::bcSync)); }

bool TLumo_Sync::ApplyNewSettings(const TSyncSettings& nSet, bool nSaveAll) {
    if (fLumoBackup && fLumoBackup->Context().TaskQueue().IsBusy(*fLumoBackup))
        return false;
    fTitle = NormalizedTitle(nSet.nTitle, kMaxTitleLength);

    fDiskSourceID = nSet.nDiskSourceID;
    fDiskStorageID = nSet.nDiskStorageID;
    fAutoMode = nSet.nAutoMode;
    fSkipHiddenSystem = nSet.nSkipHidden;
    fDelToRecycle = nSet.nDeleteToRecycle;
    fCheckDateAndSize = nSet.nCheckSizeAndDate;
    fSkipBigFiles = nSet.nSkipBigFiles;
    fBigFileSize = ClampedSyncSetting(&TSyncSettings::nBigFileSize, nSet.nBigFileSize);

    QStringList excludes;
    for (const QString& line : nSet.nExcludeList) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            excludes << trimmed;
    }
    RemoveDuplicateLines(excludes);
    fExcludeList = excludes;

    // Lines are taken strictly two by two, so a blank line can never shift a
    // storage folder into the source position of the next pair; a last unpaired
    // line is dropped. A pair with one blank side is kept as written, and each
    // run reports it as an error of that pair. Folders always end with the
    // separator: a folder text without it would name the folder's parent.
    fElementList.clear();
    for (qsizetype i = 0; i + 1 < nSet.nValueList.size(); i += 2) {
        const QString& source = nSet.nValueList.at(i);
        const QString& storage = nSet.nValueList.at(i + 1);
        if (!source.trimmed().isEmpty() || !storage.trimmed().isEmpty())
            fElementList.emplace_back(WithTrailingDelim(source), WithTrailingDelim(storage));
    }

    UpdateCanUseDriveID();
    if (nSet.fSetLastActive)
        fLastActive = nSet.fLastActive;
    if (nSaveAll && fLumoBackup)
        fLumoBackup->Context().Saver().AddNewTask(TSaveSetType::stFullProfile, fUID);
    UpdateNode();
    return true;
}

TSyncSettings TLumo_Sync::GetSettings() const {
    TSyncSettings s;
    s.nTitle = fTitle;
    s.nAutoMode = fAutoMode;
    s.nSkipHidden = fSkipHiddenSystem;
    s.nDeleteToRecycle = fDelToRecycle;
    s.nCheckSizeAndDate = fCheckDateAndSize;
    s.nSkipBigFiles = fSkipBigFiles;
    s.nBigFileSize = fBigFileSize;
    s.nDiskSourceID = fDiskSourceID;
    s.nDiskStorageID = fDiskStorageID;
    s.nExcludeList = fExcludeList;
    for (const TSyncElement& element : fElementList)
        s.nValueList << element.SourceFolder() << element.StorageFolder();
    return s;
}

void TLumo_Sync::AddNewExclude(const QString& nExclude) {
    if (nExclude.trimmed().isEmpty())
        return;
    QStringList excludes = fExcludeList;
    excludes << nExclude;
    RemoveDuplicateLines(excludes);
    fExcludeList = excludes;
    if (fLumoBackup)
        fLumoBackup->Context().Saver().AddNewTask(TSaveSetType::stExclude, fUID);
}

void TLumo_Sync::ResetStat() {
    static_cast<TSyncStatistics&>(*this) = TSyncStatistics{};
    fProgress = 0;
    fProgressFull = 0;
    fLastError = TLumo_Error::feNone;
    fLastErrorDetail.clear();
    UpdateLastActive();
}

void TLumo_Sync::TakeRunResults(const TSyncRunResults& results) {
    // The stop's own error (set by the stop on the main thread) never covers
    // a real error of the run.
    if (results.fLastError != TLumo_Error::feNone)
        fLastError = results.fLastError;
    static_cast<TSyncStatistics&>(*this) = results;
}

void TLumo_Sync::StartRun(TBackupTask& run) {
    fLastOnlyScan = run.OnlyScan();
    fLastError = TLumo_Error::feNone;
    fLastErrorDetail.clear();
    fLastErrorString.clear();
    fProgress = 0;
    fProgressFull = 0;
    auto thread = std::make_unique<TSyncThread>(*this, run.OnlyScan());
    TSyncThread& worker = *thread;
    run.SetThread(std::move(thread));
    worker.start();
}

bool TLumo_Sync::PrepareRun(bool) {
    if (fSyncStatus != TLumo_Operation::fsNone)
        return false;
    SetSyncStatus(TLumo_Operation::fsQueue);
    ResetStat();
    return true;
}

void TLumo_Sync::ResetUnqueued() { SetSyncStatus(TLumo_Operation::fsNone); }

bool TLumo_Sync::RetriesFailedRun(const TBackupTask& run) const {
    return fAutoMode && fLastError != TLumo_Error::feNone && fErrorAttempts == 1 && !run.OnlyScan() &&
           !run.AbortRequested();
}

void TLumo_Sync::WriteProfile(IniDocument& ini) const { WriteSyncProfile(ini, *this); }

void TLumo_Sync::SetSyncStatus(TLumo_Operation value) {
    fSyncStatus = value;
    UpdateStatusText();
    UpdateNode();
}

void TLumo_Sync::UpdateLastActive() {
    fLastActiveString = LastRunText(Lng::lng_Global_LastSync, fLastActive);
    fLastErrorString = ErrorText(LngText(Lng::lng_Global_LastSyncWithError), fLastError);
    if (fLastError != TLumo_Error::feNone && !fLastErrorDetail.isEmpty())
        fLastErrorString += QLatin1Char(' ') + fLastErrorDetail;
    UpdateNode();
}

void TLumo_Sync::UpdateStatusText() {
    fSyncStatusText = OperationText(fSyncStatus);
    UpdateNode();
}

void TLumo_Sync::UpdateNode() {
    if (!fLumoBackup)
        return;
    fLumoBackup->SetFullValues();
    fLumoBackup->RepaintNode();
}

void TLumo_Sync::UpdateProgress() {
    if (!fLumoBackup)
        return;
    fLumoBackup->SetProgress();
    fLumoBackup->RepaintNode();
}

void TLumo_Sync::UpdateCanUseDriveID() {
    QStringList sources, storages;
    for (const TSyncElement& element : fElementList) {
        sources << element.SourceFolder();
        storages << element.StorageFolder();
    }
    fCanUseDriveSourceID = PathsOnOneVolume(sources, VolumeOfPath);
    fCanUseDriveStorageID = PathsOnOneVolume(storages, VolumeOfPath);
}

void TLumo_Sync::RefreshTexts() {
    UpdateLastActive();
    UpdateStatusText();
}
