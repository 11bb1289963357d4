#include "gui/settings/settings_commands.h"

#include "app/app_context.h"
#include "app/settings_reset.h"
#include "gui/notify/notifications.h"
#include "gui/ui/standard_dialogs.h"
#include "gui/util/pickers.h"
#include "os/platform.h"
#include "settings/save_settings.h"
#include "settings/settings_archive.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

constexpr int kInfoImage = 0;
constexpr int kWarningImage = 1;

void RunRestart(const std::function<void()>& restart) {
    if (restart)
        restart();
    else
        RestartProgram();
}

} // namespace

void RestartProgram() {
    QProcess::startDetached(QString::fromStdString(os::ExecutablePath()), {QStringLiteral("/FORCELOAD")});
    QApplication::quit();
}

void SettingsBackup(TAppContext& context, QWidget* parent) {
    const QString archive = ChooseFile(QString(), {LngText(Lng::lib_lng_FileMask_Zip)}, true, parent);
    if (archive.isEmpty())
        return;
    const QString folder = QFileInfo(archive).absolutePath();
    QDir().mkpath(folder);
    if (!QFileInfo(folder).isDir())
        return;
    const bool ok = WriteSettingsArchive(context.Paths().SettingsFile(), archive);
    ShowNotification(LngText(Lng::lib_lng_RestoreBackup_frmTitleRestore),
                     LngText(ok ? Lng::lib_lng_RestoreBackup_txtBackupSuccess
                                : Lng::lib_lng_RestoreBackup_txtErrorWrongZipStructure),
                     ok ? kInfoImage : kWarningImage, -1);
}

bool SettingsRestore(TAppContext& context, QWidget* parent, const std::function<void()>& restart) {
    if (YesNoQuestion(LngText(Lng::lib_lng_Dlg_Title_Warning), LngText(Lng::lib_lng_Dlg_Text_RestoreConfirmText),
                      parent) != mrYes)
        return false;
    const QString archive = ChooseFile(QString(), {LngText(Lng::lib_lng_FileMask_Zip)}, false, parent);
    if (archive.isEmpty())
        return false;
    // No save pass may write the file while it is replaced; one already under
    // way finishes first.
    context.SettingsLocked = true;
    context.Saver().WaitWhileActive();
    const TSettingsArchiveResult result = RestoreSettingsArchive(archive, context.Paths().SettingsFile());
    switch (result.Status) {
    case TSettingsArchiveStatus::NotOurs:
        context.SettingsLocked = false;
        ShowNotification(LngText(Lng::lib_lng_RestoreBackup_frmTitleRestore),
                         LngText(Lng::lib_lng_RestoreBackup_txtErrorWrongZipStructure), kWarningImage, -1);
        return false;
    case TSettingsArchiveStatus::WriteFailed:
        // The old file is still in place (the new one is written beside it and
        // renamed over it); the options and the schedule go back from memory
        // all the same, as the file may have been changed by hand meanwhile.
        context.SettingsLocked = false;
        ShowNotification(LngText(Lng::lib_lng_RestoreBackup_frmTitleBackup),
                         LngText(Lng::lib_lng_RestoreBackup_txtErrorRestore), kWarningImage, -1);
        context.Saver().AddNewTask(TSaveSetType::stMain);
        context.Saver().AddNewTask(TSaveSetType::stCrone);
        return false;
    case TSettingsArchiveStatus::Ok:
        break;
    }
    MessageQuestion(LngText(Lng::lib_lng_RestoreBackup_frmTitleRestore),
                    LngText(Lng::lib_lng_RestoreBackup_txtNeedAppRestart), mqOk, parent);
    RunRestart(restart);
    return true;
}

bool ResetAllSettingsCommand(TAppContext& context, QWidget* parent, const std::function<void()>& restart) {
    if (YesNoQuestion(LngText(Lng::lib_lng_RestoreBackup_frmTitleResetAllSettings),
                      LngText(Lng::lib_lng_RestoreBackup_txtResetAllSettings), parent) != mrYes)
        return false;
    context.SettingsLocked = true;
    context.Saver().WaitWhileActive();
    const TResetResult result = ResetAllSettings(context.Paths());
    if (!result.Ok) {
        ShowNotification(LngText(Lng::lib_lng_RestoreBackup_frmTitleResetAllSettings),
                         LngText(Lng::lib_lng_RestoreBackup_txtResetError), kWarningImage, -1);
        return false;
    }
    RunRestart(restart);
    return true;
}
