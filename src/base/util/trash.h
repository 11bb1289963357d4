#pragma once

#include <QString>

// Moves a file, a folder or a symbolic link itself (never its target) into
// the user's Trash. True only when it landed there; pathInTrash (when given)
// receives its new location, why (when given) the reason it did not.
bool MoveToTrash(const QString& path, QString* pathInTrash = nullptr, QString* why = nullptr);

// Empties the user's Trash. Nothing is reported.
void EmptyRecycleBin();
