#pragma once

#include <QTextStream>

class TAppContext;
struct TCliOptions;

// Exit statuses of the tool.
enum TCliExit { kExitOk = 0, kExitRunError = 1, kExitUsage = 2, kExitFolderHeld = 3 };

// One line per profile in display order: UID, kind and title, tab-separated.
int CommandList(const TAppContext& context, QTextStream& out);
// The profile's sections exactly as a full save writes them.
int CommandExport(const TAppContext& context, const QString& uid, QTextStream& out, QTextStream& err);
