#pragma once

#include <QString>

// File operations of an archive run. Failures are reported through the result
// only; none of them throws.

// True when something of that name exists (a dangling symbolic link too).
bool PathTaken(const QString& path);

// Deletes the file, ignoring every failure.
void RemoveFileQuietly(const QString& path);

// Renames from to to within one file system, replacing a file of that name in
// one step, so that the name always holds either the old or the new file.
bool ReplaceFile(const QString& from, const QString& to);

// True when an existing archive at path may be replaced: a regular file (or
// a link) whose owner may write it. A folder of that name, or a file marked
// read-only, is kept.
bool TargetReplaceable(const QString& path);
