#include "app/save_steps.h"

#include "app/app_context.h"
#include "folderzip/folderzip_persistence.h"
#include "folderzip/folderzip_task.h"
#include "scheduler/cron_persistence.h"
#include "scheduler/schedule.h"
#include "scripts/script_persistence.h"
#include "settings/global_options.h"
#include "sync/sync_persistence.h"
#include "sync/sync_task.h"
#include "zip/zip_persistence.h"
#include "zip/zip_task.h"

namespace {

bool Is(TSaveSetType type, std::initializer_list<TSaveSetType> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

const QStringList& ExclusionsOf(const TLumo_BackupProfile& profile) {
    static const QStringList none;
    switch (profile.Kind()) {
    case TBackupClass::bcSync: return profile.Sync()->ExcludeList();
    case TBackupClass::bcZip: return profile.Zip()->ExcludeList();
    case TBackupClass::bcFolderZip: return profile.FolderZip()->ExcludeList();
    case TBackupClass::bcNone: break;
    }
    return none;
}

void WriteExclusions(IniDocument& ini, const QString& uid, const QStringList& masks) {
    const QString section = uid + QStringLiteral("_Ex");
    ini.EraseSection(section);
    int k = 0;
    for (const QString& mask : masks)
        if (!mask.trimmed().isEmpty())
            ini.SetValue(section, QStringLiteral("v%1").arg(k++), mask);
}

void EraseProfile(IniDocument& ini, const QString& uid) {
    ini.EraseSection(uid);
    ini.DeleteKey(QStringLiteral("SyncList"), uid);
    ini.EraseSection(uid + QStringLiteral("_Ex"));
    ini.EraseSection(uid + QStringLiteral("_PS"));
    ini.EraseSection(uid + QStringLiteral("_st"));
    ini.DeleteKey(QStringLiteral("ZipList"), uid);
    ini.EraseSection(uid + QStringLiteral("_Fv"));
    ini.DeleteKey(QStringLiteral("ZipFolderList"), uid);
    ini.EraseSection(uid + QStringLiteral("_FolderEx"));
    ini.EraseSection(uid + QStringLiteral("_El"));
}

} // namespace

void ApplySaveRequest(IniDocument& ini, const TSaveTask& task, const TAppContext& context) {
    using enum TSaveSetType;
    const TSaveSetType type = task.fType;

    if (type == stMain)
        WriteMainOptions(ini, context.Options);
    if (type == stListPos)
        WritePositions(ini, context.DisplayOrderUIDs());
    if (type == stCrone)
        WriteCronList(ini, context.Schedule());

    const TLumo_BackupProfile* profile = nullptr;
    if (Is(type, {stProfileScripts, stProfile, stExclude, stFullProfile, stZipFileversion})) {
        profile = context.FindProfileByUID(task.fUID);
        if (!profile)
            return;
    }

    if (Is(type, {stExclude, stFullProfile}))
        WriteExclusions(ini, task.fUID, ExclusionsOf(*profile));
    if (Is(type, {stProfileScripts, stFullProfile}))
        WriteProfileScripts(ini, task.fUID, profile->ScriptsBefore(), profile->ScriptsAfter());
    if (type == stDelProfile)
        EraseProfile(ini, task.fUID);
    if (Is(type, {stZipFileversion, stFullProfile})) {
        if (profile->Kind() == TBackupClass::bcZip)
            WriteZipVersions(ini, *profile->Zip());
        else if (profile->Kind() == TBackupClass::bcFolderZip)
            WriteFolderZipStates(ini, *profile->FolderZip());
    }
    if (Is(type, {stProfile, stFullProfile})) {
        switch (profile->Kind()) {
        case TBackupClass::bcSync: WriteSyncProfile(ini, *profile->Sync()); break;
        case TBackupClass::bcZip: WriteZipProfile(ini, *profile->Zip()); break;
        case TBackupClass::bcFolderZip: WriteFolderZipProfile(ini, *profile->FolderZip()); break;
        case TBackupClass::bcNone: break;
        }
    }
}
