#include "zip/zip_persistence.h"

#include "ini/ini_fields.h"
#include "ini/ini_lists.h"
#include "ini/ini_values.h"
#include "util/string_lists.h"
#include "zip/zip_names.h"
#include "zip/zip_password.h"
#include "zip/zip_task.h"

#include <exception>

namespace {

const QString kZipList = QStringLiteral("ZipList");

using TZipFields = TIniFields<TZip_Settings, TLumo_Zip>;

// 0 no versions, 1 by count (zvItems), 2 by age (zvDates); anything else none.
void ReadVersionType(const IniDocument& ini, const QString& section, const QString& key, TZip_Settings& s) {
    const int type = IniReadInteger(ini, section, key, 0);
    s.nUseVersions = type == 1 || type == 2;
    s.nItemsVersions = type == 1;
}

void WriteVersionType(IniDocument& ini, const QString& section, const QString& key, const TLumo_Zip& zip) {
    IniWriteInteger(ini, section, key, static_cast<int>(zip.FVType()));
}

void ReadPassword(const IniDocument& ini, const QString& section, const QString&, TZip_Settings& s) {
    s.nPassword = ReadStoredPassword(ini, section);
    s.nPasswordModified = false;
}

void WritePassword(IniDocument& ini, const QString& section, const QString&, const TLumo_Zip& zip) {
    WriteStoredPassword(ini, section, zip.Password());
}

// The keys of uid + "_st", in the order they are written.
const TZipFields& ZipFields() {
    using F = TZipFields;
    using S = TZip_Settings;
    using T = TLumo_Zip;
    static const F fields{
        {QStringLiteral("LastActive"), F::TStamp{&S::nLastActive, &T::LastActive}},
        {QStringLiteral("Filename"), F::TText{&S::nFilename, &T::Filename}},
        {QStringLiteral("Folder"), F::TText{&S::nFolder, &T::Folder}},
        {QStringLiteral("Compression"), F::TInt{&S::nCompression, &T::Compression, T::kDefaultCompression, 0, 9}},
        {QStringLiteral("Password"), F::TCustom{&ReadPassword, &WritePassword}},
        {QStringLiteral("SpanningEnabled"), F::TBool{&S::nSpanEn, &T::SpanningEnabled, false}},
        {QStringLiteral("SpanningSizeValue"), F::TInt{&S::nSpanValue, &T::SpanningSizeValue, T::kDefaultSpanSize,
                                                       T::kMinSpanSize, T::kMaxSpanSize}},
        {QStringLiteral("DiskSourceID"), F::TText{&S::nDiskSourceID, &T::DiskSourceID}},
        {QStringLiteral("DiskStorageID"), F::TText{&S::nDiskStorageID, &T::DiskStorageID}},
        {QStringLiteral("FVType"), F::TCustom{&ReadVersionType, &WriteVersionType}},
        {QStringLiteral("FVValue"), F::TInt{&S::nVersionsValue, &T::FVValue, T::kDefaultVersions, T::kMinVersions,
                                             T::kMaxVersions}},
        {QStringLiteral("FVLastIndex"), F::TInt{&S::nFVLastIndex, &T::FVLastIndex, 0, 0, kMaxFVLastIndex}},
    };
    return fields;
}

// The recorded versions.
const QString kVersionSuffix = QStringLiteral("_Fv");
QString VersionSection(const QString& uid) { return uid + kVersionSuffix; }

// The items, numbered from 1.
const QString kPathField = QStringLiteral("f_");
const QString kIsFolderField = QStringLiteral("i_");

} // namespace

int ClampedZipSetting(int TZip_Settings::*member, int value) { return ZipFields().Clamped(member, value); }

TZip_Settings ReadZipSettings(const IniDocument& ini, const QString& uid) {
    TZip_Settings s;
    s.nTitle = IniReadString(ini, kZipList, uid, QStringLiteral("-"));

    ZipFields().Read(ini, ProfileSettingsSection(uid), s);
    s.nSetFileVerList = true;
    s.nSetLastActive = true;
    s.nSetFVLastIndex = true;

    s.nExcludeList = IniReadLines(ini, ProfileExcludeSection(uid));
    RemoveDuplicateLines(s.nExcludeList);

    IniReadNumberedList(ini, uid, kPathField, 1, [&s](const TIniItemReader& item) {
        s.nValueList << (item.Bool(kIsFolderField, false) ? QStringLiteral("1") : QStringLiteral("0"))
                     << item.String(kPathField);
    });

    s.nFileVersionList = ReadFileVersions(ini, VersionSection(uid));
    return s;
}

void LoadZip(const IniDocument& ini, const TProfileMaker<TLumo_Zip>& maker) {
    try {
        for (const QString& uid : ini.Keys(kZipList)) {
            if (!maker.CanLoad(uid))
                continue;
            const TZip_Settings settings = ReadZipSettings(ini, uid);
            TLumo_Zip& zip = maker.Create(uid);
            zip.ApplyNewSettings(settings, false);
            zip.UpdateLastActive();
        }
    } catch (const std::exception&) {
        // The profiles made so far stay; the rest of the family is not loaded.
    }
}

void WriteZipProfile(IniDocument& ini, const TLumo_Zip& zip) {
    const QString& uid = zip.UID();
    ini.SetValue(kZipList, uid, zip.Title());

    ZipFields().Write(ini, ProfileSettingsSection(uid), zip);

    IniWriteNumberedList(ini, uid, 1, zip.ZipElements(), [](TIniItemWriter& item, const TZipElement& element) {
        item.SetString(kPathField, element.Fullname);
        item.SetBool(kIsFolderField, element.IsFolder);
    });
}

void WriteZipVersions(IniDocument& ini, const TLumo_Zip& zip) {
    WriteFileVersions(ini, VersionSection(zip.UID()), zip.FileVersionList());
}

const TProfileKindInfo& ZipProfileKind() {
    static const TProfileKindInfo kind{
        kZipList, QStringLiteral("ZIP"), {QString(), kVersionSuffix}, LoaderWithMaker(&LoadZip)};
    return kind;
}
