#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The parsed command line of norvane-backup-cli.
struct TCliOptions {
    QString DataDir;      // empty: the desktop program's rule
    QString Command;      // list, export, analyse, run, serve
    QStringList Arguments;
    bool Entries = false; // analyse --entries
};

// Empty with error set when the command line is not valid.
std::optional<TCliOptions> ParseCliOptions(const QStringList& args, QString& error);

QString CliUsage();
