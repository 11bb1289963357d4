#include "app/settings_loader.h"

#include "app/app_context.h"
#include "folderzip/folderzip_persistence.h"
#include "lang/language_choice.h"
#include "scheduler/cron_persistence.h"
#include "scheduler/schedule.h"
#include "scripts/script_persistence.h"
#include "settings/global_options.h"
#include "settings/save_settings.h"
#include "sync/sync_persistence.h"
#include "zip/zip_persistence.h"

#include <QFile>

IniDocument ReadSettingsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return IniDocument::FromBytes(file.readAll());
}

void LoadSync(TAppContext& context, const IniDocument& ini) { SyncProfileKind().Load(ini, context); }

void LoadZip(TAppContext& context, const IniDocument& ini) { ZipProfileKind().Load(ini, context); }

void LoadFolderZip(TAppContext& context, const IniDocument& ini) { FolderZipProfileKind().Load(ini, context); }

void LoadScripts(TAppContext& context, const IniDocument& ini) {
    const auto& profiles = context.Profiles();
    QStringList uids;
    uids.reserve(static_cast<qsizetype>(profiles.size()));
    for (const auto& profile : profiles)
        uids << profile->UID();
    LoadScripts(ini, uids, [&profiles](qsizetype position, const TLumo_ScriptList& before,
                                       const TLumo_ScriptList& after) {
        profiles[static_cast<size_t>(position)]->SetScriptLists(before, after, false);
    });
}

void LoadSettings(TAppContext& context, const IniDocument& ini) {
    LoadMainSection(ini, context.Options, context.Saver().fPosition);
}

void LoadAllSettings(TAppContext& context) {
    const IniDocument ini = ReadSettingsFile(context.Paths().SettingsFile());
    LoadSettings(context, ini);
    if (context.SystemLanguage.isEmpty())
        context.SystemLanguage = DetectSystemLanguage();
    ChooseLanguageAtStart(context.Language, context.Paths().LangFolder, context.SystemLanguage,
                          context.Options.Language, context.Options.LanguageLocal);
    context.ProfileKinds().LoadAll(ini, context);
    LoadScripts(context, ini);
    LoadCrons(context.Schedule(), ini, context.Paths().SettingsFile());
    context.UpdateAllHaveCron();
}
