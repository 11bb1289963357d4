#pragma once

#include <QStringList>
#include <QTextStream>

#include <atomic>

class TAppContext;

// The engine resident without windows: holds the instance channel, arms the
// schedule, obeys forwarded command lines and the tool's runs, saves every
// 120 s, until SIGINT/SIGTERM (which stop the running task as Stop does) or
// "/CLOSE". The caller holds the data folder's lock and has loaded the
// settings. Returns the exit status.
int CommandServe(TAppContext& context, const std::atomic<bool>& stopRequested, QTextStream& err);

// A run or analysis handed to the running instance that holds the data
// folder: prints what a local run would and returns its exit status, or
// kExitFolderHeld with a message when no instance takes the runs.
int ForwardRuns(const QString& dataFolder, const QStringList& uids, bool onlyScan, bool entries,
                const std::atomic<bool>& stopRequested, QTextStream& out, QTextStream& err);
