#include "folderzip/folderzip_persistence.h"

#include "folderzip/folderzip_task.h"
#include "ini/ini_fields.h"
#include "ini/ini_lists.h"
#include "ini/ini_values.h"
#include "util/string_lists.h"
#include "zip/zip_password.h"

#include <exception>

namespace {

const QString kZipFolderList = QStringLiteral("ZipFolderList");

using TFolderZipFields = TIniFields<TFolderZip_Settings, TLumo_FolderZip>;

void ReadPassword(const IniDocument& ini, const QString& section, const QString&, TFolderZip_Settings& s) {
    s.nPassword = ReadStoredPassword(ini, section);
    s.nPasswordModified = false;
}

void WritePassword(IniDocument& ini, const QString& section, const QString&, const TLumo_FolderZip& folderZip) {
    WriteStoredPassword(ini, section, folderZip.Password());
}

// The keys of uid + "_st", in the order they are written.
const TFolderZipFields& FolderZipFields() {
    using F = TFolderZipFields;
    using S = TFolderZip_Settings;
    using T = TLumo_FolderZip;
    static const F fields{
        {QStringLiteral("LastActive"), F::TStamp{&S::fLastActive, &T::LastActive}},
        {QStringLiteral("SaveTo"), F::TText{&S::nSaveToFolder, &T::StorageFolder}},
        {QStringLiteral("FolderZip"), F::TText{&S::nSourceFolder, &T::SourceFolder}},
        {QStringLiteral("Compression"), F::TInt{&S::nCompression, &T::Compression, T::kDefaultCompression, 0, 9}},
        {QStringLiteral("Password"), F::TCustom{&ReadPassword, &WritePassword}},
        {QStringLiteral("CleanFolder"), F::TBool{&S::nCleanFolder, &T::CleanFolder, false}},
        {QStringLiteral("CleanFolderToTrash"), F::TBool{&S::nDeleteToRecycle, &T::CleanFolderToTrash, true}},
        {QStringLiteral("SpanningEnabled"), F::TBool{&S::nSpanningEnabled, &T::SpanningEnabled, false}},
        {QStringLiteral("SpanningSizeValue"), F::TInt{&S::nSpanningSizeValue, &T::SpanningSizeValue,
                                                       T::kDefaultSpanSize, T::kMinSpanSize, T::kMaxSpanSize}},
        {QStringLiteral("DiskSourceID"), F::TText{&S::nDiskSourceID, &T::DiskSourceID}},
        {QStringLiteral("DiskStorageID"), F::TText{&S::nDiskStorageID, &T::DiskStorageID}},
    };
    return fields;
}

// The excluded subfolders.
const QString kFolderExcludeSuffix = QStringLiteral("_FolderEx");
// Left by older versions; erased with the profile.
const QString kOldElementSuffix = QStringLiteral("_El");
QString FolderExcludeSection(const QString& uid) { return uid + kFolderExcludeSuffix; }

// The subfolder states, numbered from 1.
const QString kNameField = QStringLiteral("n_");
const QString kDateField = QStringLiteral("d_");
const QString kSpanField = QStringLiteral("s_");
const QString kCountField = QStringLiteral("c_");
const QString kSizeField = QStringLiteral("z_");

// The lines of a line list without repeats.
QStringList ReadLines(const IniDocument& ini, const QString& section) {
    QStringList lines = IniReadLines(ini, section);
    RemoveDuplicateLines(lines);
    return lines;
}

} // namespace

int ClampedFolderZipSetting(int TFolderZip_Settings::*member, int value) {
    return FolderZipFields().Clamped(member, value);
}

TFolderZip_Settings ReadFolderZipSettings(const IniDocument& ini, const QString& uid) {
    TFolderZip_Settings s;
    s.nTitle = IniReadString(ini, kZipFolderList, uid, QStringLiteral("-"));

    FolderZipFields().Read(ini, ProfileSettingsSection(uid), s);
    s.fSetLastActive = true;

    s.nExcludeList = ReadLines(ini, ProfileExcludeSection(uid));
    s.nExcludeFolderList = ReadLines(ini, FolderExcludeSection(uid));

    IniReadNumberedList(ini, uid, kNameField, 1, [&s](const TIniItemReader& item) {
        TFolderZipElement element;
        element.pFolder = item.String(kNameField);
        element.pDateModified = item.DateTime(kDateField);
        element.pSpanCount = item.Integer(kSpanField, 0);
        element.pFileCount = item.Int64(kCountField, -1);
        element.pTotalSize = item.Int64(kSizeField, -1);
        s.fElementsList.push_back(element);
    });
    s.fReplaceElList = true;
    return s;
}

void LoadFolderZip(const IniDocument& ini, const TProfileMaker<TLumo_FolderZip>& maker) {
    try {
        for (const QString& uid : ini.Keys(kZipFolderList)) {
            if (!maker.CanLoad(uid))
                continue;
            const TFolderZip_Settings settings = ReadFolderZipSettings(ini, uid);
            TLumo_FolderZip& folderZip = maker.Create(uid);
            folderZip.ApplyNewSettings(settings, false);
            folderZip.UpdateLastActive();
            folderZip.RebuildText();
        }
    } catch (const std::exception&) {
        // The profiles made so far stay; the rest of the family is not loaded.
    }
}

void WriteFolderZipProfile(IniDocument& ini, const TLumo_FolderZip& folderZip) {
    const QString& uid = folderZip.UID();
    ini.SetValue(kZipFolderList, uid, folderZip.Title());

    FolderZipFields().Write(ini, ProfileSettingsSection(uid), folderZip);

    IniWriteLines(ini, FolderExcludeSection(uid), folderZip.FolderExcludeList());
}

void WriteFolderZipStates(IniDocument& ini, const TLumo_FolderZip& folderZip) {
    const bool spanning = folderZip.SpanningEnabled();
    IniWriteNumberedList(ini, folderZip.UID(), 1, folderZip.Elements(),
                         [spanning](TIniItemWriter& item, const auto& element) {
                             item.SetString(kNameField, element->pFolder);
                             item.SetDateTime(kDateField, element->pDateModified);
                             if (spanning)
                                 item.SetInteger(kSpanField, element->pSpanCount);
                             // Known only once the subfolder was archived by a run that counted its files.
                             if (element->pFileCount >= 0 && element->pTotalSize >= 0) {
                                 item.SetInteger(kCountField, element->pFileCount);
                                 item.SetInteger(kSizeField, element->pTotalSize);
                             }
                         });
}

const TProfileKindInfo& FolderZipProfileKind() {
    static const TProfileKindInfo kind{kZipFolderList,
                                       QStringLiteral("FZP"),
                                       {QString(), kFolderExcludeSuffix, kOldElementSuffix},
                                       LoaderWithMaker(&LoadFolderZip)};
    return kind;
}
