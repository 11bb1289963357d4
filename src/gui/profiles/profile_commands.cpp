#include "gui/profiles/profile_commands.h"

#include "app/app_context.h"
#include "gui/profiles/profile_editor.h"

#include <QFileInfo>

namespace {

void PrepareWindow(TAppContext& context, TfrmProfile& window, const TGeneralSettingsHooks& hooks) {
    window.SetHooks(hooks);
    if (context.Options.StayOnTop)
        window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

} // namespace

bool EditProfile(TAppContext& context, const QString& uid, QWidget* parent, const TGeneralSettingsHooks& hooks) {
    TfrmProfile window(context, parent);
    PrepareWindow(context, window, hooks);
    if (!window.SetProfile(uid, TBackupClass::bcNone))
        return false;
    return window.exec() == QDialog::Accepted;
}

QString CreateProfile(TAppContext& context, TBackupClass kind, QWidget* parent, const TGeneralSettingsHooks& hooks) {
    if (kind == TBackupClass::bcNone)
        return {};
    TfrmProfile window(context, parent);
    PrepareWindow(context, window, hooks);
    window.SetProfile(QString(), kind);
    window.exec();
    return window.CreatedUID();
}

bool EditGeneralSettings(TAppContext& context, QWidget* parent, const TGeneralSettingsHooks& hooks) {
    TfrmProfile window(context, parent);
    PrepareWindow(context, window, hooks);
    window.SetMainAppSettings(hooks);
    return window.exec() == QDialog::Accepted;
}

bool IsFirstStart(const TAppContext& context) { return !QFileInfo::exists(context.Paths().SettingsFile()); }
