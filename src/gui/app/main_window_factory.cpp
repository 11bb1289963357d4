#include "gui/app/main_window_factory.h"

#include "gui/app/editor_hooks.h"
#include "gui/app/tray_icon.h"

#include "app/command_line.h"

TMainWindowStart MainWindowStartFromArguments(const QStringList& arguments, bool settingsFileExisted) {
    TMainWindowStart start;
    start.ShowBootSettings = !settingsFileExisted;
    start.StartedByAutorun = IsAutorun(arguments);
    return start;
}

void ShowAtStart(TfrmMain& window, const TMainWindowStart& start) {
    if (!start.StartedByAutorun) {
        window.show();
        return;
    }
    window.Tray()->Show();
    if (!window.Tray()->Available())
        window.showMinimized();
}

std::unique_ptr<TfrmMain> CreateMainWindow(TAppContext& context, const TMainWindowStart& start) {
    auto window = std::make_unique<TfrmMain>(context, start);
    InstallEditorHooks(*window, context);
    ShowAtStart(*window, start);
    return window;
}
