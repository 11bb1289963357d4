// Pictures of every page of the profile editor for the three kinds and of the
// general settings page.

#include "shot_registry.h"

#include "app/app_context.h"
#include "folderzip/folderzip_task.h"
#include "gui/profiles/profile_editor.h"
#include "lang/language_choice.h"
#include "sync/sync_task.h"
#include "zip/zip_task.h"

#include <QListWidget>

namespace {

// The pass names its language in full; the built-in tables go by "Eng" and "Rus".
void SpeakTheLanguageOf(TShotEnv& env) {
    ApplyBuiltinLanguage(env.Context.Language,
                         env.Language == QLatin1String("Russian") ? QStringLiteral("Rus") : QStringLiteral("Eng"),
                         env.Context.Options.Language, env.Context.Options.LanguageLocal);
}

QString SyncProfile(TAppContext& context) {
    TLumo_Sync& task = TLumo_Sync::Create(context, QString());
    TSyncSettings s;
    s.nTitle = QStringLiteral("Documents to the USB disk");
    s.nAutoMode = true;
    s.nSkipHidden = true;
    s.nValueList = {QStringLiteral("/home/anna/Documents/"), QStringLiteral("/media/anna/USB/Documents/"),
                    QStringLiteral("/home/anna/Pictures/"), QStringLiteral("/media/anna/USB/Pictures/")};
    s.nExcludeList = {QStringLiteral("/System Volume Information/"), QStringLiteral("*.tmp")};
    task.ApplyNewSettings(s, false);
    return task.UID();
}

QString ZipProfile(TAppContext& context) {
    TLumo_Zip& task = TLumo_Zip::Create(context, QString());
    TZip_Settings s;
    s.nTitle = QStringLiteral("Mail archive");
    s.nFilename = QStringLiteral("mail_%Y-%M-%D.zip");
    s.nFolder = QStringLiteral("/srv/backup/mail/");
    s.nUseVersions = true;
    s.nVersionsValue = 12;
    s.nValueList = {QStringLiteral("1"), QStringLiteral("/home/anna/.thunderbird/"), QStringLiteral("0"),
                    QStringLiteral("/home/anna/contacts.vcf")};
    s.nExcludeList = {QStringLiteral("*.bak"), QStringLiteral("thumbs.db")};
    task.ApplyNewSettings(s, false);
    return task.UID();
}

QString FolderZipProfile(TAppContext& context) {
    TLumo_FolderZip& task = TLumo_FolderZip::Create(context, QString());
    TFolderZip_Settings s;
    s.nTitle = QStringLiteral("Projects, one archive each");
    s.nSourceFolder = QStringLiteral("/home/anna/Projects/");
    s.nSaveToFolder = QStringLiteral("/srv/backup/projects/");
    s.nCleanFolder = true;
    s.nExcludeFolderList = {QStringLiteral("node_modules"), QStringLiteral("scratch")};
    task.ApplyNewSettings(s, false);
    return task.UID();
}

TShotMaker Page(QString (*make)(TAppContext&), int page) {
    return [make, page](TShotEnv& env) -> std::unique_ptr<QWidget> {
        SpeakTheLanguageOf(env);
        auto window = std::make_unique<TfrmProfile>(env.Context);
        window->setModal(false);
        window->SetProfile(make(env.Context), TBackupClass::bcNone);
        window->findChild<QListWidget*>(QStringLiteral("lstItems"))->setCurrentRow(page);
        return window;
    };
}

TShotMaker NewPage(TBackupClass kind) {
    return [kind](TShotEnv& env) -> std::unique_ptr<QWidget> {
        SpeakTheLanguageOf(env);
        auto window = std::make_unique<TfrmProfile>(env.Context);
        window->setModal(false);
        window->SetProfile(QString(), kind);
        return window;
    };
}

const TShotRegistrar kShots[] = {
    {"profile_sync_general", Page(SyncProfile, 0)},
    {"profile_sync_pairs", Page(SyncProfile, 1)},
    {"profile_sync_exclude", Page(SyncProfile, 2)},
    {"profile_sync_new", NewPage(TBackupClass::bcSync)},
    {"profile_zip_general", Page(ZipProfile, 0)},
    {"profile_zip_elements", Page(ZipProfile, 1)},
    {"profile_zip_exclude", Page(ZipProfile, 2)},
    {"profile_zip_new", NewPage(TBackupClass::bcZip)},
    {"profile_folderzip_general", Page(FolderZipProfile, 0)},
    {"profile_folderzip_folders", Page(FolderZipProfile, 1)},
    {"profile_folderzip_exclude", Page(FolderZipProfile, 2)},
    {"general_settings",
     [](TShotEnv& env) -> std::unique_ptr<QWidget> {
         SpeakTheLanguageOf(env);
        auto window = std::make_unique<TfrmProfile>(env.Context);
         window->setModal(false);
         window->SetMainAppSettings();
         return window;
     }},
};

} // namespace
