#include "sync/sync_persistence.h"

#include "ini/ini_values.h"
#include "sync/sync_analysis.h"
#include "sync/sync_task.h"

#include <exception>

namespace {

const QString kSyncList = QStringLiteral("SyncList");
const QString kLastActive = QStringLiteral("LastActive");
const QString kCheckType = QStringLiteral("CheckType");
const QString kDelToRecycle = QStringLiteral("DelToRecycle");
const QString kAutoMode = QStringLiteral("AutoMode");
const QString kSkipHiddenSystem = QStringLiteral("SkipHiddenSystem");
const QString kSkipBigFiles = QStringLiteral("SkipBigFiles");
const QString kBigFileSize = QStringLiteral("BigFileSize");
const QString kDiskSourceID = QStringLiteral("DiskSourceID");
const QString kDiskStorageID = QStringLiteral("DiskStorageID");

QString SettingsSection(const QString& uid) { return uid + QStringLiteral("_st"); }
QString ExcludeSection(const QString& uid) { return uid + QStringLiteral("_Ex"); }
QString SourceKey(int n) { return QStringLiteral("f1_%1").arg(n); }
QString StorageKey(int n) { return QStringLiteral("f2_%1").arg(n); }

} // namespace

TSyncSettings ReadSyncSettings(const IniDocument& ini, const QString& uid) {
    TSyncSettings s;
    s.nTitle = IniReadString(ini, kSyncList, uid, QStringLiteral("-"));

    const QString st = SettingsSection(uid);
    s.nDeleteToRecycle = IniReadBool(ini, st, kDelToRecycle, true);
    s.nAutoMode = IniReadBool(ini, st, kAutoMode, true);
    s.nSkipHidden = IniReadBool(ini, st, kSkipHiddenSystem, true);
    s.nCheckSizeAndDate = IniReadBool(ini, st, kCheckType, true);
    s.nSkipBigFiles = IniReadBool(ini, st, kSkipBigFiles, false);
    s.nDiskSourceID = IniReadString(ini, st, kDiskSourceID);
    s.nDiskStorageID = IniReadString(ini, st, kDiskStorageID);
    s.nBigFileSize = IniReadInteger(ini, st, kBigFileSize, TLumo_Sync::kDefaultBigFileSize);
    s.fSetLastActive = true;
    s.fLastActive = IniReadDateTime(ini, st, kLastActive);

    for (int n = 1; ini.HasKey(uid, SourceKey(n)); ++n)
        s.nValueList << WithTrailingDelim(IniReadString(ini, uid, SourceKey(n)))
                     << WithTrailingDelim(IniReadString(ini, uid, StorageKey(n)));

    // The key names of the exclusion section do not matter, only their values.
    for (const auto& [key, value] : ini.Values(ExcludeSection(uid))) {
        const QString line = value.trimmed();
        if (!line.isEmpty())
            s.nExcludeList << line;
    }
    return s;
}

void LoadSync(const IniDocument& ini, const TProfileMaker<TLumo_Sync>& maker) {
    try {
        for (const QString& uid : ini.Keys(kSyncList)) {
            if (!maker.CanLoad(uid))
                continue;
            const TSyncSettings settings = ReadSyncSettings(ini, uid);
            TLumo_Sync& sync = maker.Create(uid);
            sync.ApplyNewSettings(settings, false);
            sync.UpdateLastActive();
        }
    } catch (const std::exception&) {
        // The profiles made so far stay; the rest of the family is not loaded.
    }
}

void WriteSyncProfile(IniDocument& ini, const TLumo_Sync& sync) {
    const QString& uid = sync.UID();
    ini.SetValue(kSyncList, uid, sync.Title());

    const QString st = SettingsSection(uid);
    IniWriteDateTime(ini, st, kLastActive, sync.LastActive());
    IniWriteBool(ini, st, kCheckType, sync.CheckDateAndSize());
    IniWriteBool(ini, st, kDelToRecycle, sync.DelToRecycle());
    IniWriteBool(ini, st, kAutoMode, sync.AutoMode());
    IniWriteBool(ini, st, kSkipHiddenSystem, sync.SkipHiddenSystem());
    IniWriteBool(ini, st, kSkipBigFiles, sync.SkipBigFiles());
    IniWriteInteger(ini, st, kBigFileSize, sync.BigFileSize());
    ini.SetValue(st, kDiskSourceID, sync.DiskSourceID());
    ini.SetValue(st, kDiskStorageID, sync.DiskStorageID());

    ini.EraseSection(uid);
    int n = 1;
    for (const TSyncElement& element : sync.ElementList()) {
        ini.SetValue(uid, SourceKey(n), element.SourceFolder());
        ini.SetValue(uid, StorageKey(n), element.StorageFolder());
        ++n;
    }
}
