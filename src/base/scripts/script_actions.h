#pragma once

#include "scripts/script_list.h"

#include <QString>

#include <optional>

// The work of single script actions, apart from the thread that runs a list.
// Every parameter is read with GetValue and stripped of blanks and control
// characters; a missing parameter reads as empty.

// The seconds a pause waits ("1,5" reads as 15; no digits or no line give 0;
// negative values are returned as they are and wait nothing).
qint64 PauseSeconds(const TLumo_ProfileScript& action);

// Evaluates a condition: true runs its yes list, false its no list, no value
// runs neither (a drive condition whose Drive is not an absolute path, or an
// action that is no condition).
//  - File / Folder: the path must be absolute, the volume holding it ready and
//    the file (anything but a folder) or folder must exist; links are followed.
//  - Drive: the mount point of a mounted volume whose root can be read.
//  - App: some process runs the executable at that full path (letter case
//    ignored; a path through a link also matches the program it leads to).
//  - Process: some process has that executable file name (letter case ignored).
std::optional<bool> EvaluateCondition(const TLumo_ProfileScript& action);

// Starts File without waiting for it: a program with Cmd as its command line
// in Folder, anything else is opened with its default application. Nothing
// happens when File names no existing file, or when OnlyOneApp is "True" and
// the program already runs. The outcome of the start is not examined.
void ExecuteAction(const TLumo_ProfileScript& action);

// Deletes File (anything but a folder): ToRecycle "1" moves it to the Trash,
// otherwise it is removed for good. A missing file or any failure is ignored.
void DeleteFileAction(const TLumo_ProfileScript& action);

// Deletes Folder: ToRecycle "1" moves it with its content to the Trash,
// otherwise it is removed only when it is empty. Failures are ignored.
void DeleteFolderAction(const TLumo_ProfileScript& action);
