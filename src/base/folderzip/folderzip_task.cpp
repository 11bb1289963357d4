#include "folderzip/folderzip_task.h"

#include "folderzip/folderzip_persistence.h"
#include "lang/friendly_date.h"
#include "lang/language.h"
#include "profiles/backup_profile.h"
#include "profiles/engine_services.h"
#include "profiles/profile_texts.h"
#include "profiles/profile_uid.h"
#include "profiles/task_queue.h"
#include "profiles/task_texts.h"
#include "settings/save_settings.h"
#include "util/string_lists.h"
#include "util/text_format.h"
#include "zip/zip_password.h"

#include <algorithm>

namespace {

// Stable, so that of two names equal but for letter case the one already in
// the list stays.
void SortIgnoringCase(QStringList& list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

} // namespace

TLumo_FolderZip::TLumo_FolderZip(QString uid) : fUID(std::move(uid)) {}

TLumo_FolderZip::~TLumo_FolderZip() = default;

TLumo_FolderZip& TLumo_FolderZip::Create(TEngineServices& context, const QString& uid) {
    std::unique_ptr<TLumo_FolderZip> task(
        new TLumo_FolderZip(uid.isEmpty() ? MakeProfileUID(context, FolderZipProfileKind().UIDPrefix) : uid));
    TLumo_FolderZip& self = *task;
    self.fLumoBackup = &TLumo_BackupProfile::New(context, TBackupClass::bcFolderZip, self.fUID, std::move(task));
    return self;
}

TLumo_FolderZip* TLumo_BackupProfile::FolderZip() const {
    return static_cast<TLumo_FolderZip*>(TaskOfKind(TBackupClass::bcFolderZip));
}

void TLumo_FolderZip::ApplyNewSettings(const TFolderZip_Settings& nSet, bool nSaveAll) {
    fTitle = NormalizedTitle(nSet.nTitle, kMaxTitleLength);
    fDiskSourceID = nSet.nDiskSourceID;
    fDiskStorageID = nSet.nDiskStorageID;
    fSourceFolder = nSet.nSourceFolder;
    fStorageFolder = nSet.nSaveToFolder;
    fCompression = ClampedFolderZipSetting(&TFolderZip_Settings::nCompression, nSet.nCompression);
    fPassword = TakeOverPassword(fPassword, nSet.nPassword, nSet.nPasswordModified);
    fExcludeList = nSet.nExcludeList;
    fFolderExcludeList = nSet.nExcludeFolderList;
    fCleanFolder = nSet.nCleanFolder;
    fCleanFolderToTrash = nSet.nDeleteToRecycle;
    fSpanningEnabled = nSet.nSpanningEnabled;
    fSpanningSizeValue =
        ClampedFolderZipSetting(&TFolderZip_Settings::nSpanningSizeValue, nSet.nSpanningSizeValue);
    if (nSet.fReplaceElList) {
        std::vector<TFolderZipElement*> taken;
        for (const TFolderZipElement& element : nSet.fElementsList) {
            fElements.push_back(std::make_unique<TFolderZipElement>(element));
            fElements.back()->pNode = 0;
            taken.push_back(fElements.back().get());
        }
        AddRows(taken);
    }
    if (nSet.fSetLastActive)
        fLastActive = nSet.fLastActive;
    if (nSaveAll && fLumoBackup)
        fLumoBackup->Context().Saver().AddNewTask(TSaveSetType::stFullProfile, fUID);
    UpdateStatusText();
    UpdateNode();
}

TFolderZip_Settings TLumo_FolderZip::GetSettings() const {
    TFolderZip_Settings s;
    s.nTitle = fTitle;
    s.nSourceFolder = fSourceFolder;
    s.nSaveToFolder = fStorageFolder;
    s.nPassword = fPassword;
    s.nPasswordModified = false;
    s.nCompression = fCompression;
    s.nCleanFolder = fCleanFolder;
    s.nDeleteToRecycle = fCleanFolderToTrash;
    s.nSpanningEnabled = fSpanningEnabled;
    s.nSpanningSizeValue = fSpanningSizeValue;
    s.nDiskSourceID = fDiskSourceID;
    s.nDiskStorageID = fDiskStorageID;
    s.nExcludeList = fExcludeList;
    s.nExcludeFolderList = fFolderExcludeList;
    return s;
}

void TLumo_FolderZip::UpdateExFolderList(const QStringList* nAddList, const QStringList* nRemoveList, bool nClearIt,
                                         bool nDontSave) {
    if (nAddList) {
        QStringList work = nClearIt ? QStringList() : fFolderExcludeList;
        work << *nAddList;
        SortIgnoringCase(work);
        RemoveDuplicateLines(work);
        fFolderExcludeList = work;
    }
    if (nRemoveList) {
        QStringList work = fFolderExcludeList;
        RemoveListedLines(work, *nRemoveList);
        SortIgnoringCase(work);
        RemoveDuplicateLines(work);
        fFolderExcludeList = work;
    }
    if ((nAddList || nRemoveList) && !nDontSave && fLumoBackup)
        fLumoBackup->Context().Saver().AddNewTask(TSaveSetType::stProfile, fUID);
}

TFolderZipElement* TLumo_FolderZip::FindElement(const QString& name) const {
    for (const auto& element : fElements)
        if (element->pFolder.compare(name, Qt::CaseInsensitive) == 0)
            return element.get();
    return nullptr;
}

void TLumo_FolderZip::RebuildText() {
    if (!fLastOnlyScan)
        fScanResultText.clear();
    else if (fLastScanUpdated != 0)
        fScanResultText = FillPlaceholder(LngText(Lng::lng_Global_ScanZipFolderChanges), QLatin1StringView("%d"),
                                          QString::number(fLastScanUpdated));
    else
        fScanResultText = LngText(Lng::lng_Global_ScanZipFolderNoChanges);

    const QString modifiedFormat = LngText(Lng::lng_Global_LastChange);
    for (const auto& element : fElements) {
        const TDateTime shown = element->pNewDateModified != 0 ? element->pNewDateModified : element->pDateModified;
        element->pLastModifiedText =
            FillPlaceholder(modifiedFormat, QLatin1StringView("%s"), FriendlyDateText(shown, true));
    }
    UpdateAllRows();
}

void TLumo_FolderZip::AbortZip() {
    fProgress = 0;
    fProgressFull = 0;
    fCurrentElement = nullptr;
    fAbortZip = true;
}

bool TLumo_FolderZip::PrepareRun(bool) {
    if (fOperation != TLumo_Operation::fsNone)
        return false;
    SetOperationState(TLumo_Operation::fsQueue);
    ResetStat();
    return true;
}

void TLumo_FolderZip::ResetUnqueued() {
    AbortZip();
    SetOperationState(TLumo_Operation::fsNone);
}

void TLumo_FolderZip::StartRun(TBackupTask& run) { StartZip(run.OnlyScan(), run.List()); }

void TLumo_FolderZip::WriteProfile(IniDocument& ini) const { WriteFolderZipProfile(ini, *this); }

void TLumo_FolderZip::WriteRunRecords(IniDocument& ini) const { WriteFolderZipStates(ini, *this); }

void TLumo_FolderZip::ResetStat() {
    fProgress = 0;
    fProgressFull = 0;
    fProgressFullCount = 0;
    fProgressFullIndex = 0;
    fLastError = TLumo_Error::feNone;
    fResultText.clear();
    UpdateLastActive();
}

void TLumo_FolderZip::SetOperationState(TLumo_Operation value) {
    fOperation = value;
    UpdateStatusText();
    UpdateNode();
}

void TLumo_FolderZip::UpdateLastActive() {
    fResultText = LastRunText(Lng::lng_Global_LastZip, fLastActive);
    fLastErrorString = ErrorText(LngText(Lng::lng_Global_LastZipWithError), fLastError);
    if (fLastError != TLumo_Error::feNone && !fLastErrorDetail.isEmpty())
        fLastErrorString += QLatin1Char(' ') + fLastErrorDetail;
    UpdateNode();
}

void TLumo_FolderZip::UpdateStatusText() {
    fStatusText = OperationText(fOperation);
    UpdateNode();
}

void TLumo_FolderZip::UpdateNode() {
    if (!fLumoBackup)
        return;
    fLumoBackup->SetFullValues();
    fLumoBackup->RepaintNode();
}

void TLumo_FolderZip::UpdateProgress() {
    if (!fLumoBackup)
        return;
    fLumoBackup->SetProgress();
    fLumoBackup->RepaintNode();
}

void TLumo_FolderZip::RefreshTexts() {
    UpdateStatusText();
    UpdateLastActive();
    RebuildText();
}
