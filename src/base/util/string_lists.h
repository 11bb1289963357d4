#pragma once

#include <QString>
#include <QStringList>

// Keeps, in order, every line that is not blank and does not equal (ignoring
// letter case) a line already kept. Lines are compared and kept untrimmed.
void RemoveDuplicateLines(QStringList& list);

// Deletes every line of list that, trimmed and ignoring letter case, equals a
// line of other.
void RemoveListedLines(QStringList& list, const QStringList& other);

// The lines of names, each upper-cased, for comparisons that ignore letter case.
QStringList UpperCased(const QStringList& names);

// Appends the path separator to a non-empty path that does not end with it.
QString IncludeBackslash(const QString& path);

// Fills list with the files matching mask (a folder path followed by a file
// mask, see TFileMask), each as the folder part of mask followed by the file's
// name, in listing order. Folders, hidden entries (names starting with ".")
// and entries that are neither files, folders nor links are left out.
void ListFilesByMask(QStringList& list, const QString& mask);
