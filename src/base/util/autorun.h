#pragma once

#include <QString>

// The name and argument of this program's start-up entry.
inline const QString kAutorunName = QStringLiteral("Norvane Backup");
inline const QString kAutorunArgument = QStringLiteral("/AUTORUN");

// True when the start-up entry name runs this program with arguments: the
// stored command equals, ignoring letter case, the quoted or the unquoted
// program path followed by " " and the arguments (nothing when empty).
bool IsAutorunSet(const QString& name, const QString& arguments);

// Creates the entry (the quoted program path, then " " and the arguments when
// there are any) or, with remove, deletes it. False when it cannot be changed.
bool SetAutorun(const QString& name, const QString& arguments, bool remove);
