#include "sync/sync_persistence.h"

#include "ini/ini_fields.h"
#include "ini/ini_lists.h"
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

// The folder pairs, numbered from 1.
const QString kSourceField = QStringLiteral("f1_");
const QString kStorageField = QStringLiteral("f2_");

} // namespace

int ClampedSyncSetting(int TSyncSettings::*member, int value) { return SyncFields().Clamped(member, value); }

TSyncSettings ReadSyncSettings(const IniDocument& ini, const QString& uid) {
    TSyncSettings s;
    s.nTitle = IniReadString(ini, kSyncList, uid, QStringLiteral("-"));

    SyncFields().Read(ini, ProfileSettingsSection(uid), s);
    s.fSetLastActive = true;

    IniReadNumberedList(ini, uid, kSourceField, 1, [&s](const TIniItemReader& pair) {
        s.nValueList << WithTrailingDelim(pair.String(kSourceField)) << WithTrailingDelim(pair.String(kStorageField));
    });

    s.nExcludeList = IniReadLines(ini, ProfileExcludeSection(uid));
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

    SyncFields().Write(ini, ProfileSettingsSection(uid), sync);

    IniWriteNumberedList(ini, uid, 1, sync.ElementList(), [](TIniItemWriter& pair, const TSyncElement& element) {
        pair.SetString(kSourceField, element.SourceFolder());
        pair.SetString(kStorageField, element.StorageFolder());
    });
}

const TProfileKindInfo& SyncProfileKind() {
    static const TProfileKindInfo kind{kSyncList, QStringLiteral("SNK"), {QString()}, LoaderWithMaker(&LoadSync)};
    return kind;
}
