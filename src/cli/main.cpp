#include "app/app_context.h"
#include "app/app_paths.h"
#include "app/data_folder_lock.h"
#include "app/settings_loader.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_runs.h"
#include "cli/cli_serve.h"
#include "cli/cli_signals.h"
#include "scheduler/schedule.h"
#include "scheduler/schedule_clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <optional>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QFile stdoutFile, stderrFile;
    stdoutFile.open(stdout, QIODevice::WriteOnly);
    stderrFile.open(stderr, QIODevice::WriteOnly);
    QTextStream out(&stdoutFile), err(&stderrFile);

    QString error;
    const auto options = ParseCliOptions(QCoreApplication::arguments(), error);
    if (!options) {
        err << "norvane-backup-cli: " << error << '\n' << CliUsage();
        return kExitUsage;
    }

    bool portable = false;
    TAppPaths paths = DefaultAppPaths(&portable);
    if (!options->DataDir.isEmpty())
        paths.DataFolder = QDir(options->DataDir).absolutePath() + QLatin1Char('/');
    const bool runs = options->Command == QLatin1String("analyse") || options->Command == QLatin1String("run");
    const bool serve = options->Command == QLatin1String("serve");
    const bool onlyScan = options->Command == QLatin1String("analyse");

    // Whoever will write the settings holds the data folder first; list and
    // export only read.
    // Runs and serve end on SIGINT/SIGTERM in their own way; list and export keep the default.
    std::optional<TStopSignals> stopSignals;
    if (runs || serve)
        stopSignals.emplace();
    TDataFolderLock lock;
    if (runs || serve) {
        switch (lock.TryTake(paths.DataFolder)) {
        case TDataFolderLock::State::Taken: break;
        case TDataFolderLock::State::Held:
            if (serve) {
                err << "norvane-backup-cli: the data folder " << QDir::toNativeSeparators(paths.DataFolder)
                    << " is in use by another running instance\n";
                err.flush();
                return kExitFolderHeld;
            } else {
                const int status = ForwardRuns(paths.DataFolder, options->Arguments, onlyScan, options->Entries,
                                               stopSignals->Requested(), out, err);
                out.flush();
                err.flush();
                return status;
            }
        case TDataFolderLock::State::Unavailable:
            if (serve) {
                err << "norvane-backup-cli: " << lock.ErrorText() << '\n';
                err.flush();
                return kExitFolderHeld;
            }
            break; // nobody can write there; the run reports what fails
        }
    }

    TAppContext context(paths);
    context.Options.PortableMode = portable;
    if (serve)
        if (auto clock = ScheduleClockFromEnvironment())
            context.Schedule().SetClock(std::move(clock));
    LoadAllSettings(context);

    int status = kExitUsage;
    if (options->Command == QLatin1String("list"))
        status = CommandList(context, out);
    else if (options->Command == QLatin1String("export"))
        status = CommandExport(context, options->Arguments.first(), out, err);
    else if (runs)
        status = CommandRuns(context, options->Arguments, onlyScan, options->Entries, stopSignals->Requested(), out,
                             err);
    else if (serve)
        status = CommandServe(context, stopSignals->Requested(), err);
    out.flush();
    err.flush();
    return status;
}
