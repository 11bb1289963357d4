#include "app/app_context.h"
#include "app/app_paths.h"
#include "app/settings_loader.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_runs.h"
#include "cli/cli_signals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

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
    TAppContext context(paths);
    context.Options.PortableMode = portable;
    LoadAllSettings(context);

    int status = kExitUsage;
    if (options->Command == QLatin1String("list"))
        status = CommandList(context, out);
    else if (options->Command == QLatin1String("export"))
        status = CommandExport(context, options->Arguments.first(), out, err);
    else if (options->Command == QLatin1String("analyse") || options->Command == QLatin1String("run")) {
        const TStopSignals stopSignals;
        status = CommandRuns(context, options->Arguments, options->Command == QLatin1String("analyse"),
                             options->Entries, stopSignals.Requested(), out, err);
    }
    out.flush();
    err.flush();
    return status;
}
