#include "gui/app/main_window_factory.h"

#include "gui/app/tray_icon.h"

TMainWindowStart MainWindowStartFromArguments(const QStringList& arguments, bool settingsFileExisted) {
    TMainWindowStart start;
    start.ShowBootSettings = !settingsFileExisted;
    for (const QString& argument : arguments)
        if (argument.trimmed().toUpper() == QLatin1String("/AUTORUN"))
            start.StartedByAutorun = true;
    return start;
}

std::unique_ptr<TfrmMain> CreateMainWindow(TAppContext& context, const TMainWindowStart& start) {
    auto window = std::make_unique<TfrmMain>(context, start);
    if (!start.StartedByAutorun) {
        window->show();
        return window;
    }
    window->Tray()->Show();
    if (!window->Tray()->Available())
        window->showMinimized();
    return window;
}
