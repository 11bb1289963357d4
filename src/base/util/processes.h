#pragma once

#include <QString>

// Questions about running programs, for the script conditions.

// Full path of the executable of the process; empty when it cannot be read.
QString ProcessImagePath(qint64 pid);

// True when some running process runs exactly the executable at fullPath
// (letter case ignored).
bool IsAppRunning(const QString& fullPath);

// True when some running process has the executable file name imageName,
// such as "rsync" (letter case ignored).
bool IsProcessRunning(const QString& imageName);
