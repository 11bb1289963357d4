#include "folderzip/folderzip_persistence.h"

#include "folderzip/folderzip_task.h"
#include "ini/ini_fields.h"
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

QString SettingsSection(const QString& uid) { return uid + QStringLiteral("_st"); }
QString ExcludeSection(const QString& uid) { return uid + QStringLiteral("_Ex"); }
QString FolderExcludeSection(const QString& uid) { return uid + QStringLiteral("_FolderEx"); }
QString NameKey(int i) { return QStringLiteral("n_%1").arg(i); }
QString DateKey(int i) { return QStringLiteral("d_%1").arg(i); }
QString SpanKey(int i) { return QStringLiteral("s_%1").arg(i); }
QString CountKey(int i) { return QStringLiteral("c_%1").arg(i); }
QString SizeKey(int i) { return QStringLiteral("z_%1").arg(i); }

// The non-blank values of a section, trimmed, in file order, without repeats.
QStringList ReadLines(const IniDocument& ini, const QString& section) {
    QStringList lines;
    for (const auto& [key, value] : ini.Values(section)) {
        const QString line = value.trimmed();
        if (!line.isEmpty())
            lines << line;
    }
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

    FolderZipFields().Read(ini, SettingsSection(uid), s);
    s.fSetLastActive = true;

    s.nExcludeList = ReadLines(ini, ExcludeSection(uid));
    s.nExcludeFolderList = ReadLines(ini, FolderExcludeSection(uid));

    for (int i = 1; ini.HasKey(uid, NameKey(i)); ++i) {
        TFolderZipElement element;
        element.pFolder = IniReadString(ini, uid, NameKey(i));
        element.pDateModified = IniReadDateTime(ini, uid, DateKey(i));
        element.pSpanCount = IniReadInteger(ini, uid, SpanKey(i), 0);
        element.pFileCount = IniReadInt64(ini, uid, CountKey(i), -1);
        element.pTotalSize = IniReadInt64(ini, uid, SizeKey(i), -1);
        s.fElementsList.push_back(element);
    }
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

    FolderZipFields().Write(ini, SettingsSection(uid), folderZip);

    const QString folderEx = FolderExcludeSection(uid);
    ini.EraseSection(folderEx);
    int k = 0;
    for (const QString& name : folderZip.FolderExcludeList())
        if (!name.trimmed().isEmpty())
            ini.SetValue(folderEx, QStringLiteral("v%1").arg(k++), name);
}

void WriteFolderZipStates(IniDocument& ini, const TLumo_FolderZip& folderZip) {
    const QString& uid = folderZip.UID();
    ini.EraseSection(uid);
    int i = 1;
    for (const auto& element : folderZip.Elements()) {
        ini.SetValue(uid, NameKey(i), element->pFolder);
        IniWriteDateTime(ini, uid, DateKey(i), element->pDateModified);
        if (folderZip.SpanningEnabled())
            IniWriteInteger(ini, uid, SpanKey(i), element->pSpanCount);
        // Known only once the subfolder was archived by a run that counted its files.
        if (element->pFileCount >= 0 && element->pTotalSize >= 0) {
            IniWriteInteger(ini, uid, CountKey(i), element->pFileCount);
            IniWriteInteger(ini, uid, SizeKey(i), element->pTotalSize);
        }
        ++i;
    }
}
