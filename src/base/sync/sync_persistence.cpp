#include "sync/sync_persistence.h"

#include "ini/ini_fields.h"
#include "ini/ini_values.h"
#include "sync/sync_analysis.h"
#include "sync/sync_task.h"

#include <exception>

namespace {

const QString kSyncList = QStringLiteral("SyncList");

using TSyncFields = TIniFields<TSyncSettings, TLumo_Sync>;

// The keys of uid + "_st", in the order they are written.
const TSyncFields& SyncFields() {
    using F = TSyncFields;
    using S = TSyncSettings;
    using T = TLumo_Sync;
    static const F fields{
        {QStringLiteral("LastActive"), F::TStamp{&S::fLastActive, &T::LastActive}},
        {QStringLiteral("CheckType"), F::TBool{&S::nCheckSizeAndDate, &T::CheckDateAndSize, true}},
        {QStringLiteral("DelToRecycle"), F::TBool{&S::nDeleteToRecycle, &T::DelToRecycle, true}},
        {QStringLiteral("AutoMode"), F::TBool{&S::nAutoMode, &T::AutoMode, true}},
        {QStringLiteral("SkipHiddenSystem"), F::TBool{&S::nSkipHidden, &T::SkipHiddenSystem, true}},
        {QStringLiteral("SkipBigFiles"), F::TBool{&S::nSkipBigFiles, &T::SkipBigFiles, false}},
        {QStringLiteral("BigFileSize"), F::TInt{&S::nBigFileSize, &T::BigFileSize, T::kDefaultBigFileSize,
                                                 T::kMinBigFileSize, T::kMaxBigFileSize}},
        {QStringLiteral("DiskSourceID"), F::TText{&S::nDiskSourceID, &T::DiskSourceID}},
        {QStringLiteral("DiskStorageID"), F::TText{&S::nDiskStorageID, &T::DiskStorageID}},
    };
    return fields;
}

QString SettingsSection(const QString& uid) { return uid + QStringLiteral("_st"); }
QString ExcludeSection(const QString& uid) { return uid + QStringLiteral("_Ex"); }
QString SourceKey(int n) { return QStringLiteral("f1_%1").arg(n); }
QString StorageKey(int n) { return QStringLiteral("f2_%1").arg(n); }

} // namespace

int ClampedSyncSetting(int TSyncSettings::*member, int value) { return SyncFields().Clamped(member, value); }

TSyncSettings ReadSyncSettings(const IniDocument& ini, const QString& uid) {
    TSyncSettings s;
    s.nTitle = IniReadString(ini, kSyncList, uid, QStringLiteral("-"));

    SyncFields().Read(ini, SettingsSection(uid), s);
    s.fSetLastActive = true;

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

    SyncFields().Write(ini, SettingsSection(uid), sync);

    ini.EraseSection(uid);
    int n = 1;
    for (const TSyncElement& element : sync.ElementList()) {
        ini.SetValue(uid, SourceKey(n), element.SourceFolder());
        ini.SetValue(uid, StorageKey(n), element.StorageFolder());
        ++n;
    }
}
