#include "gui/app/editor_hooks.h"

#include "gui/app/main_window.h"
#include "gui/app/tray_icon.h"
#include "gui/profiles/profile_commands.h"
#include "gui/settings/settings_commands.h"

#include "app/app_context.h"
#include "app/window_commands.h"

namespace {

// What applying the general settings asks of the main window.
TGeneralSettingsHooks GeneralSettingsHooks(TfrmMain& window, TAppContext& context) {
    TGeneralSettingsHooks hooks;
    hooks.ApplyTaskPriority = [&window, &context] { ApplyTaskPriority(context, window.MainFormHidden()); };
    hooks.ShowTrayIcon = [&window](bool show) {
        window.Tray()->SetRunning(false);
        if (show)
            window.Tray()->Show();
        else
            window.Tray()->Hide();
    };
    // No jump list on this desktop; the window applies stay-on-top after the page.
    hooks.UpdateJumpList = [] {};
    hooks.ApplyStayOnTop = [](bool) {};
    return hooks;
}

} // namespace

void InstallEditorHooks(TfrmMain& window, TAppContext& context) {
    TMainWindowHooks& hooks = window.Hooks();
    hooks.NewProfile = [&window, &context](TBackupClass kind) {
        const QString uid = CreateProfile(context, kind, &window, GeneralSettingsHooks(window, context));
        if (!uid.isEmpty())
            window.AddProfileRow(uid);
    };
    hooks.EditProfile = [&window, &context](const QString& uid) {
        EditProfile(context, uid, &window, GeneralSettingsHooks(window, context));
    };
    hooks.GeneralSettings = [&window, &context] {
        EditGeneralSettings(context, &window, GeneralSettingsHooks(window, context));
    };
    hooks.BackupSettings = [&window, &context] { SettingsBackup(context, &window); };
    hooks.RestoreSettings = [&window, &context] { SettingsRestore(context, &window); };
    hooks.ResetSettings = [&window, &context] { ResetAllSettingsCommand(context, &window); };
}
