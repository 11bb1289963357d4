#pragma once

#include <QString>

// Starting things without waiting for them. False when nothing could be started.

// Opens a document with its default application, or runs a program.
bool OpenWithShell(const QString& path);

// Runs program with arguments (a command-line text, split as a shell would
// split it) in workingFolder (empty: the program's own folder).
bool StartProgram(const QString& program, const QString& arguments, const QString& workingFolder = {});
