#include "app/app_context.h"
#include "app/app_paths.h"
#include "app/command_line.h"
#include "app/data_folder_lock.h"
#include "app/instance_channel.h"
#include "app/resident_engine.h"
#include "app/settings_loader.h"
#include "main_window_host.h"
#include "scheduler/schedule.h"
#include "scheduler/schedule_clock.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kExitFolderHeld = 3;

QStringList Parameters(int argc, char** argv) {
    QStringList parameters;
    for (int i = 1; i < argc; ++i)
        parameters << QString::fromLocal8Bit(argv[i]);
    return parameters;
}

// A later start: hands its parameters to the running instance, waiting for
// it to have handled them ("/ABORTALL": until the running task ended).
int ForwardToRunningInstance(int argc, char** argv, const QStringList& parameters, const QString& dataFolder) {
    QCoreApplication app(argc, argv);
    const TInstanceRecord record{parameters.isEmpty() ? kInstanceShow : kInstanceCommandLine,
                                 InstanceCommandText(parameters).toUtf8()};
    // The running instance may still be starting: it gets a few seconds.
    if (!SendToInstance(InstanceChannelName(dataFolder), record, 10000))
        std::fprintf(stderr, "norvane-backup: the running instance of %s did not answer\n",
                     QDir::toNativeSeparators(dataFolder).toLocal8Bit().constData());
    return 0;
}

} // namespace

// The process start: the single-instance check (the data folder's lock and
// the instance channel), then the application, the settings and the schedule
// in their fixed order, then the window.
int main(int argc, char** argv) {
    const QStringList parameters = Parameters(argc, argv);
    const bool forceLoad = IsForceLoad(parameters);
    bool portable = false;
    const TAppPaths paths = DefaultAppPaths(&portable);

    TDataFolderLock lock;
    const TDataFolderLock::State lockState = lock.TryTake(paths.DataFolder);
    if (lockState == TDataFolderLock::State::Held) {
        if (!forceLoad)
            return ForwardToRunningInstance(argc, argv, parameters, paths.DataFolder);
        // Skipping the check must not make a second writer of the same settings.
        std::fprintf(stderr, "norvane-backup: the data folder %s is in use by another running instance\n",
                     QDir::toNativeSeparators(paths.DataFolder).toLocal8Bit().constData());
        return kExitFolderHeld;
    }
    if (lockState == TDataFolderLock::State::Unavailable)
        std::fprintf(stderr, "norvane-backup: %s\n", lock.ErrorText().toLocal8Bit().constData());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norvane Backup"));
    QApplication::setDesktopFileName(QStringLiteral("norvane-backup"));
    // Hidden at start and in the tray, the window must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    TAppContext context(paths);
    context.Options.PortableMode = portable;
    if (auto clock = ScheduleClockFromEnvironment())
        context.Schedule().SetClock(std::move(clock));
    const bool settingsExisted = QFileInfo::exists(context.Paths().SettingsFile());
    TMainWindowHost window(MainWindowStartFromArguments(parameters, settingsExisted));
    TResidentHooks hooks;
    hooks.ShowOrToggle = [&window] { return window.TrayIconClick(); };
    hooks.EditorOpen = [&window] { return window.EditorOpen(); };
    hooks.Quit = [&window] { window.Close(); };
    hooks.TrayAnimation = [&window](bool running) { window.SetTrayAnimation(running); };
    TResidentEngine engine(context, hooks);
    window.OnHiddenChanged = [&engine](bool hidden) { engine.SetMainFormHidden(hidden); };

    // An instance that skipped the check does not take the channel either.
    if (!forceLoad) {
        QString error;
        if (!engine.ListenChannel(error))
            std::fprintf(stderr, "norvane-backup: %s\n", error.toLocal8Bit().constData());
    }

    LoadAllSettings(context);
    engine.StartAfterLoading();
    window.Create(context);
    // Closing the window runs the resident engine's shutdown once, there.
    window.Window()->Hooks().ShutdownEngine = [&engine] { engine.Shutdown(); };
    engine.FinishStart();
    // Shown once the event loop runs; started by the autorun entry, only the
    // tray icon (or, without a tray, a window minimised to the taskbar).
    QTimer::singleShot(0, &app, [&window] { window.Show(); });
    // Switches given to the first start act as if a later start had sent them
    // (a jump-list item starts its profile even when nothing was running).
    if (!parameters.isEmpty() && !forceLoad)
        QTimer::singleShot(0, &app,
                           [&engine, &parameters] { engine.ExecuteCommandLine(InstanceCommandText(parameters)); });

    const int status = QApplication::exec();
    engine.Shutdown();
    return status;
}
