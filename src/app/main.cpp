#include "app/app_context.h"
#include "app/app_paths.h"
#include "app/settings_loader.h"
#include "gui/app/main_window_factory.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norvane Backup"));
    QApplication::setDesktopFileName(QStringLiteral("norvane-backup"));
    // Hidden at start and in the tray, the window must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    bool portable = false;
    TAppContext context(DefaultAppPaths(&portable));
    context.Options.PortableMode = portable;
    const bool settingsExisted = QFileInfo::exists(context.Paths().SettingsFile());
    LoadAllSettings(context);

    // The window's close runs the program's shutdown and ends the loop.
    std::unique_ptr<TfrmMain> window =
        CreateMainWindow(context, MainWindowStartFromArguments(QApplication::arguments().mid(1), settingsExisted));
    QObject::connect(window.get(), &TfrmMain::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    const int status = QApplication::exec();
    window.reset();
    return status;
}
