#include "cli/cli_options.h"

QString CliUsage() {
    return QStringLiteral("usage: norvane-backup-cli [--data-dir DIR] list\n"
                          "       norvane-backup-cli [--data-dir DIR] export UID\n"
                          "       norvane-backup-cli [--data-dir DIR] analyse [--entries] UID...\n"
                          "       norvane-backup-cli [--data-dir DIR] run UID...\n"
                          "       norvane-backup-cli [--data-dir DIR] serve\n"
                          "--entries prints status<TAB>path per entry; in the path \\\\, \\t, \\n, \\r and \\xHH\n"
                          "stand for a backslash, control characters and bytes that are not UTF-8.\n");
}

std::optional<TCliOptions> ParseCliOptions(const QStringList& args, QString& error) {
    TCliOptions options;
    int i = 1;
    while (i < args.size() && args[i].startsWith(QLatin1String("--"))) {
        if (args[i] == QLatin1String("--data-dir") && i + 1 < args.size()) {
            options.DataDir = args[i + 1];
            i += 2;
        } else if (args[i].startsWith(QLatin1String("--data-dir="))) {
            options.DataDir = args[i].mid(11);
            ++i;
        } else {
            error = QStringLiteral("unknown option: %1").arg(args[i]);
            return std::nullopt;
        }
    }
    if (i >= args.size()) {
        error = QStringLiteral("no command given");
        return std::nullopt;
    }
    options.Command = args[i++];
    options.Arguments = args.mid(i);
    if (options.Command == QLatin1String("list")) {
        if (!options.Arguments.isEmpty()) {
            error = QStringLiteral("list takes no arguments");
            return std::nullopt;
        }
    } else if (options.Command == QLatin1String("export")) {
        if (options.Arguments.size() != 1) {
            error = QStringLiteral("export takes exactly one UID");
            return std::nullopt;
        }
    } else if (options.Command == QLatin1String("serve")) {
        if (!options.Arguments.isEmpty()) {
            error = QStringLiteral("serve takes no arguments");
            return std::nullopt;
        }
    } else if (options.Command == QLatin1String("analyse") || options.Command == QLatin1String("run")) {
        const bool analyse = options.Command == QLatin1String("analyse");
        QStringList uids;
        for (const QString& argument : options.Arguments) {
            if (analyse && argument == QLatin1String("--entries")) {
                options.Entries = true;
            } else if (argument.startsWith(QLatin1String("--"))) {
                error = QStringLiteral("unknown option for %1: %2").arg(options.Command, argument);
                return std::nullopt;
            } else {
                uids << argument;
            }
        }
        if (uids.isEmpty()) {
            error = QStringLiteral("%1 takes at least one UID").arg(options.Command);
            return std::nullopt;
        }
        options.Arguments = uids;
    } else {
        error = QStringLiteral("unknown command: %1").arg(options.Command);
        return std::nullopt;
    }
    return options;
}
