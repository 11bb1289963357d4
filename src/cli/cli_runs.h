#pragma once

#include <QStringList>
#include <QTextStream>

#include <atomic>

class TAppContext;

// Exit status of a run command stopped by SIGINT or SIGTERM.
inline constexpr int kExitInterrupted = 130;

// Queues a run (normal or analysis only) of each profile in the given order
// through the task queue, serves the main thread until the queue is empty
// (stopping everything once stopRequested is set), runs the final save pass
// and prints each profile's three row texts, with entries also its result
// list. Returns the exit status; unknown UIDs give kExitUsage and run nothing.
int CommandRuns(TAppContext& context, const QStringList& uids, bool onlyScan, bool entries,
                const std::atomic<bool>& stopRequested, QTextStream& out, QTextStream& err);
