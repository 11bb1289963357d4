#include "app/save_steps.h"

#include "app/app_context.h"
#include "ini/ini_lists.h"
#include "scheduler/cron_persistence.h"
#include "scheduler/schedule.h"
#include "scripts/script_persistence.h"
#include "settings/global_options.h"

namespace {

bool Is(TSaveSetType type, std::initializer_list<TSaveSetType> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

void WriteExclusions(IniDocument& ini, const QString& uid, const QStringList& masks) {
    IniWriteLines(ini, ProfileExcludeSection(uid), masks);
}

// Whatever kind the profile was, nothing of its UID is left.
void EraseProfile(IniDocument& ini, const QString& uid, const TAppContext& context) {
    context.ProfileKinds().EraseProfile(ini, uid);
    ini.EraseSection(ProfileScriptBranchSection(uid));
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
        WriteExclusions(ini, task.fUID, profile->Task().ExcludeList());
    if (Is(type, {stProfileScripts, stFullProfile}))
        WriteProfileScripts(ini, task.fUID, profile->ScriptsBefore(), profile->ScriptsAfter());
    if (type == stDelProfile)
        EraseProfile(ini, task.fUID, context);
    if (Is(type, {stZipFileversion, stFullProfile}))
        profile->Task().WriteRunRecords(ini);
    if (Is(type, {stProfile, stFullProfile}))
        profile->Task().WriteProfile(ini);
}
