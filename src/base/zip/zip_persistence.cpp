#include "zip/zip_persistence.h"

#include "ini/ini_values.h"
#include "util/string_lists.h"
#include "zip/zip_password.h"
#include "zip/zip_task.h"

#include <exception>

namespace {

const QString kZipList = QStringLiteral("ZipList");
const QString kLastActive = QStringLiteral("LastActive");
const QString kFilename = QStringLiteral("Filename");
const QString kFolder = QStringLiteral("Folder");
const QString kCompression = QStringLiteral("Compression");
const QString kSpanningEnabled = QStringLiteral("SpanningEnabled");
const QString kSpanningSizeValue = QStringLiteral("SpanningSizeValue");
const QString kDiskSourceID = QStringLiteral("DiskSourceID");
const QString kDiskStorageID = QStringLiteral("DiskStorageID");
const QString kFVType = QStringLiteral("FVType");
const QString kFVValue = QStringLiteral("FVValue");
const QString kFVLastIndex = QStringLiteral("FVLastIndex");

QString SettingsSection(const QString& uid) { return uid + QStringLiteral("_st"); }
QString ExcludeSection(const QString& uid) { return uid + QStringLiteral("_Ex"); }
QString VersionSection(const QString& uid) { return uid + QStringLiteral("_Fv"); }
QString PathKey(int n) { return QStringLiteral("f_%1").arg(n); }
QString IsFolderKey(int n) { return QStringLiteral("i_%1").arg(n); }

} // namespace

TZip_Settings ReadZipSettings(const IniDocument& ini, const QString& uid) {
    TZip_Settings s;
    s.nTitle = IniReadString(ini, kZipList, uid, QStringLiteral("-"));

    const QString st = SettingsSection(uid);
    s.nFilename = IniReadString(ini, st, kFilename);
    s.nFolder = IniReadString(ini, st, kFolder);
    s.nCompression = IniReadInteger(ini, st, kCompression, TLumo_Zip::kDefaultCompression);
    s.nPassword = ReadStoredPassword(ini, st);
    s.nPasswordModified = false;
    s.nSpanEn = IniReadBool(ini, st, kSpanningEnabled, false);
    s.nSpanValue = IniReadInteger(ini, st, kSpanningSizeValue, TLumo_Zip::kDefaultSpanSize);
    s.nDiskSourceID = IniReadString(ini, st, kDiskSourceID);
    s.nDiskStorageID = IniReadString(ini, st, kDiskStorageID);

    s.nSetFileVerList = true;
    s.nSetLastActive = true;
    s.nLastActive = IniReadDateTime(ini, st, kLastActive);

    switch (IniReadInteger(ini, st, kFVType, 0)) {
    case 1:
        s.nUseVersions = true;
        s.nItemsVersions = true;
        break;
    case 2:
        s.nUseVersions = true;
        s.nItemsVersions = false;
        break;
    default: s.nUseVersions = false; break;
    }
    s.nVersionsValue = IniReadInteger(ini, st, kFVValue, TLumo_Zip::kDefaultVersions);

    for (const auto& [key, value] : ini.Values(ExcludeSection(uid))) {
        const QString mask = value.trimmed();
        if (!mask.isEmpty())
            s.nExcludeList << mask;
    }
    RemoveDuplicateLines(s.nExcludeList);

    for (int n = 1; ini.HasKey(uid, PathKey(n)); ++n)
        s.nValueList << (IniReadBool(ini, uid, IsFolderKey(n), false) ? QStringLiteral("1") : QStringLiteral("0"))
                     << IniReadString(ini, uid, PathKey(n));

    s.nFVLastIndex = IniReadInteger(ini, st, kFVLastIndex, 0);
    s.nSetFVLastIndex = true;
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

    const QString st = SettingsSection(uid);
    IniWriteDateTime(ini, st, kLastActive, zip.LastActive());
    ini.SetValue(st, kFilename, zip.Filename());
    ini.SetValue(st, kFolder, zip.Folder());
    IniWriteInteger(ini, st, kCompression, zip.Compression());
    WriteStoredPassword(ini, st, zip.Password());
    IniWriteBool(ini, st, kSpanningEnabled, zip.SpanningEnabled());
    IniWriteInteger(ini, st, kSpanningSizeValue, zip.SpanningSizeValue());
    ini.SetValue(st, kDiskSourceID, zip.DiskSourceID());
    ini.SetValue(st, kDiskStorageID, zip.DiskStorageID());
    IniWriteInteger(ini, st, kFVType, static_cast<int>(zip.FVType()));
    IniWriteInteger(ini, st, kFVValue, zip.FVValue());
    IniWriteInteger(ini, st, kFVLastIndex, zip.FVLastIndex());

    ini.EraseSection(uid);
    int n = 1;
    for (const TZipElement& element : zip.ZipElements()) {
        ini.SetValue(uid, PathKey(n), element.Fullname);
        IniWriteBool(ini, uid, IsFolderKey(n), element.IsFolder);
        ++n;
    }
}

void WriteZipVersions(IniDocument& ini, const TLumo_Zip& zip) {
    WriteFileVersions(ini, VersionSection(zip.UID()), zip.FileVersionList());
}
