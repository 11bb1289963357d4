#include "zip/zip_task.h"

#include "lang/language.h"
#include "profiles/backup_profile.h"
#include "profiles/drive_binding.h"
#include "profiles/engine_services.h"
#include "profiles/profile_texts.h"
#include "profiles/profile_uid.h"
#include "profiles/task_texts.h"
#include "settings/save_settings.h"
#include "util/text_format.h"
#include "zip/zip_names.h"
#include "zip/zip_password.h"
#include "zip/zip_persistence.h"

#include <algorithm>
#include <memory>

TLumo_Zip::TLumo_Zip(QString uid) : fUID(std::move(uid)) {}

TLumo_Zip::~TLumo_Zip() = default;

TLumo_Zip& TLumo_Zip::Create(TEngineServices& context, const QString& uid) {
    std::unique_ptr<TLumo_Zip> task(
        new TLumo_Zip(uid.isEmpty() ? MakeProfileUID(context, ZipProfileKind().UIDPrefix) : uid));
    TLumo_Zip& self = *task;
    self.fLumoBackup = &TLumo_BackupProfile::New(context, TBackupClass::bcZip, self.fUID, std::move(task));
    return self;
}

TLumo_Zip* TLumo_BackupProfile::Zip() const { return static_cast<TLumo_Zip*>(TaskOfKind(TBackupClass::bcZip)); }

void TLumo_Zip::ApplyNewSettings(const TZip_Settings& nSet, bool nSaveAll) {
    fTitle = NormalizedTitle(nSet.nTitle, kMaxTitleLength);
    fDiskSourceID = nSet.nDiskSourceID;
    fDiskStorageID = nSet.nDiskStorageID;
    fFilename = nSet.nFilename;
    fFolder = nSet.nFolder;
    fCompression = ClampedZipSetting(&TZip_Settings::nCompression, nSet.nCompression);
    if (nSet.nSetFVLastIndex)
        fFVLastIndex = ClampFVLastIndex(nSet.nFVLastIndex);
    fFVValue = ClampedZipSetting(&TZip_Settings::nVersionsValue, nSet.nVersionsValue);
    fSpanningEnabled = nSet.nSpanEn;
    fSpanningSizeValue = ClampedZipSetting(&TZip_Settings::nSpanValue, nSet.nSpanValue);
    if (!nSet.nUseVersions)
        fFVType = TZipVersion::zvNone;
    else
        fFVType = nSet.nItemsVersions ? TZipVersion::zvItems : TZipVersion::zvDates;
    fPassword = TakeOverPassword(fPassword, nSet.nPassword, nSet.nPasswordModified);
    fExcludeList = nSet.nExcludeList;

    fZipElements.clear();
    for (qsizetype i = 0; i + 1 < nSet.nValueList.size(); i += 2)
        fZipElements.push_back(TZipElement{nSet.nValueList.at(i) == QLatin1String("1"), nSet.nValueList.at(i + 1)});
    UpdateCanUseDriveID();

    if (nSet.nSetFileVerList)
        fFileVersionList.insert(fFileVersionList.end(), nSet.nFileVersionList.begin(), nSet.nFileVersionList.end());
    if (nSet.nSetLastActive)
        fLastActive = nSet.nLastActive;
    if (nSaveAll && fLumoBackup)
        fLumoBackup->Context().Saver().AddNewTask(TSaveSetType::stFullProfile, fUID);
    UpdateStatusText();
    UpdateNode();
}

TZip_Settings TLumo_Zip::GetSettings() const {
    TZip_Settings s;
    s.nTitle = fTitle;
    s.nFilename = fFilename;
    s.nFolder = fFolder;
    s.nCompression = fCompression;
    s.nPassword = fPassword;
    s.nPasswordModified = false;
    s.nSpanEn = fSpanningEnabled;
    s.nSpanValue = fSpanningSizeValue;
    s.nDiskSourceID = fDiskSourceID;
    s.nDiskStorageID = fDiskStorageID;
    s.nExcludeList = fExcludeList;
    s.nUseVersions = fFVType != TZipVersion::zvNone;
    s.nItemsVersions = fFVType == TZipVersion::zvItems;
    s.nVersionsValue = fFVValue;
    for (const TZipElement& element : fZipElements)
        s.nValueList << (element.IsFolder ? QStringLiteral("1") : QStringLiteral("0")) << element.Fullname;
    return s;
}

void TLumo_Zip::AbortZip() {
    fZipProgress = 0;
    fAbortZip = true;
}

bool TLumo_Zip::PrepareRun(bool nOnlyScan) {
    if (nOnlyScan || fOperation != TLumo_Operation::fsNone)
        return false;
    SetOperationState(TLumo_Operation::fsQueue);
    ResetStat();
    return true;
}

void TLumo_Zip::ResetUnqueued() {
    AbortZip();
    SetOperationState(TLumo_Operation::fsNone);
}

void TLumo_Zip::WriteProfile(IniDocument& ini) const { WriteZipProfile(ini, *this); }

void TLumo_Zip::WriteRunRecords(IniDocument& ini) const { WriteZipVersions(ini, *this); }

void TLumo_Zip::ResetStat() {
    fZipProgress = 0;
    fLastError = TLumo_Error::feNone;
    fLastErrorDetail.clear();
    UpdateLastActive();
}

void TLumo_Zip::SetOperationState(TLumo_Operation value) {
    fOperation = value;
    UpdateStatusText();
    UpdateNode();
}

void TLumo_Zip::UpdateLastActive() {
    fResultText = LastRunText(Lng::lng_Global_LastZip, fLastActive);
    fLastErrorString = ErrorText(LngText(Lng::lng_Global_LastZipWithError), fLastError);
    if (fLastError != TLumo_Error::feNone && !fLastErrorDetail.isEmpty())
        fLastErrorString += QLatin1Char(' ') + fLastErrorDetail;
    UpdateNode();
}

void TLumo_Zip::UpdateStatusText() { fOperationText = OperationText(fOperation); }

void TLumo_Zip::UpdateNode() {
    if (!fLumoBackup)
        return;
    fLumoBackup->SetFullValues();
    fLumoBackup->RepaintNode();
}

void TLumo_Zip::UpdateProgress() {
    if (!fLumoBackup)
        return;
    fLumoBackup->SetProgress();
    fLumoBackup->RepaintNode();
}

void TLumo_Zip::UpdateCanUseDriveID() {
    QStringList paths;
    for (const TZipElement& element : fZipElements)
        paths << element.Fullname;
    fCanUseDriveSourceID = PathsOnOneVolume(paths, VolumeOfPath);
}

void TLumo_Zip::RefreshTexts() {
    UpdateStatusText();
    UpdateLastActive();
}
