// Pictures of the main window over the fixture settings: rows idle, queued,
// running with both bars, with an error and with a schedule entry; each menu.

#include "shot_registry.h"

#include "app/app_context.h"
#include "app/window_commands.h"
#include "gui/app/main_window.h"
#include "gui/app/profile_list_model.h"
#include "gui/app/profile_list_view.h"
#include "gui/app/status_bar_links.h"
#include "gui/ui/link_controls.h"
#include "lang/language.h"

#include <QLabel>
#include <QMenu>
#include <QTest>

namespace {

const QString kRunning = QStringLiteral("SNK202612011200000001");
const QString kQueued = QStringLiteral("SNK202612011200000002");
const QString kFailed = QStringLiteral("SNK202612011200000003");
const QString kSelected = QStringLiteral("ZIP202612011200000005");

QString Filled(Lng key, std::initializer_list<QString> values) {
    QString text = LngText(key);
    for (const QString& value : values) {
        const qsizetype s = text.indexOf(QStringLiteral("%s"));
        const qsizetype d = text.indexOf(QStringLiteral("%d"));
        const qsizetype at = s < 0 ? d : d < 0 ? s : std::min(s, d);
        if (at < 0)
            break;
        text.replace(at, 2, value);
    }
    return text;
}

// The rows' states come as the engine sends them: by its events.
void ShowStates(TAppContext& context) {
    if (std::optional<TGL_Profile> row = ProfileRow(context, kRunning)) {
        row->tAction = TTaskStatus::tsRun;
        row->txtStatus = LngText(Lng::lng_Global_StatusCopy);
        row->txtLastSync = Filled(Lng::lng_Global_SyncAnalysisResult,
                                  {QStringLiteral("1250"), QStringLiteral("1.21 gb"), QStringLiteral("3"),
                                   QStringLiteral("12 kb")});
        row->iProgress = 45;
        row->iFullProgress = 70;
        emit context.Events().profileChanged(kRunning, *row);
    }
    if (std::optional<TGL_Profile> row = ProfileRow(context, kQueued)) {
        row->tAction = TTaskStatus::tsQueue;
        row->txtStatus = LngText(Lng::lng_Global_StatusQueue);
        emit context.Events().profileChanged(kQueued, *row);
    }
    if (std::optional<TGL_Profile> row = ProfileRow(context, kFailed)) {
        row->txtStatus = LngText(Lng::lng_Global_StatusWait) + QStringLiteral(". ") +
                         Filled(Lng::lng_Global_LastSyncWithError, {LngText(Lng::lng_Global_ErrStNoSourceFolder)});
        emit context.Events().profileChanged(kFailed, *row);
    }
}

std::unique_ptr<TfrmMain> MakeWindow(TShotEnv& env) {
    auto window = std::make_unique<TfrmMain>(env.Context, TMainWindowStart{});
    ShowStates(env.Context);
    window->ListView()->setCurrentIndex(window->Model()->index(window->Model()->RowOf(kSelected)));
    return window;
}

// A menu is a popup the shot cannot show in place: its picture stands in a label.
std::unique_ptr<QWidget> MenuGrab(QMenu* shown) {
    shown->ensurePolished();
    shown->adjustSize();
    auto label = std::make_unique<QLabel>();
    label->setPixmap(shown->grab());
    label->adjustSize();
    return label;
}

std::unique_ptr<QWidget> MenuPicture(TShotEnv& env, QMenu* (TfrmMain::*menu)() const, bool severalRows = false) {
    std::unique_ptr<TfrmMain> window = MakeWindow(env);
    if (severalRows) {
        TProfileListView* view = window->ListView();
        view->selectionModel()->select(window->Model()->index(0), QItemSelectionModel::Select);
    }
    QMenu* shown = (window.get()->*menu)();
    return MenuGrab(shown);
}

QMenu* SubMenu(QMenu* menu, const char* name) {
    for (QAction* action : menu->actions())
        if (action->menu() && action->menu()->objectName() == QLatin1String(name))
            return action->menu();
    return menu;
}

std::unique_ptr<QWidget> SubMenuPicture(TShotEnv& env, const char* name) {
    std::unique_ptr<TfrmMain> window = MakeWindow(env);
    QMenu* shown = SubMenu(window->SettingsMenu(), name);
    return MenuGrab(shown);
}

// The status bar up close: "New profile" under the mouse, "Settings" holding
// the keyboard focus (underlined).
std::unique_ptr<QWidget> StatusLinksPicture(TShotEnv& env) {
    std::unique_ptr<TfrmMain> window = MakeWindow(env);
    window->show();
    if (QTest::qWaitForWindowExposed(window.get())) {
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
    }
    TStatusBarLinks* links = window->StatusLinks();
    links->SettingsLink()->pLabel->setFocus();
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(links->NewProfileLink()->pLabel, &enter);
    auto label = std::make_unique<QLabel>();
    label->setPixmap(links->grab());
    label->adjustSize();
    return label;
}

const TShotRegistrar kMainWindow("main_window", [](TShotEnv& env) -> std::unique_ptr<QWidget> { return MakeWindow(env); });
const TShotRegistrar kRowMenu("main_window_row_menu",
                              [](TShotEnv& env) { return MenuPicture(env, &TfrmMain::CurrentRowMenu); });
const TShotRegistrar kRowMenuMulti("main_window_row_menu_several",
                                   [](TShotEnv& env) { return MenuPicture(env, &TfrmMain::CurrentRowMenu, true); });
const TShotRegistrar kSettingsMenu("main_window_settings_menu",
                                   [](TShotEnv& env) { return MenuPicture(env, &TfrmMain::SettingsMenu); });
const TShotRegistrar kBackupMenu("main_window_backup_menu",
                                 [](TShotEnv& env) { return SubMenuPicture(env, "pmBackupRestore"); });
const TShotRegistrar kAboutMenu("main_window_about_menu", [](TShotEnv& env) { return SubMenuPicture(env, "pmAbout"); });
const TShotRegistrar kNewProfileMenu("main_window_new_profile_menu",
                                     [](TShotEnv& env) { return MenuPicture(env, &TfrmMain::NewProfileMenu); });
const TShotRegistrar kStatusLinks("main_window_status_links", StatusLinksPicture);
const TShotRegistrar kTrayMenu("main_window_tray_menu",
                               [](TShotEnv& env) { return MenuPicture(env, &TfrmMain::TrayMenu); });

} // namespace
