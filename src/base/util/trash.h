#pragma once

#include <QString>

// Moves a file or folder into the user's Trash. True only when it landed
// there; pathInTrash (when given) receives its new location.
bool MoveToTrash(const QString& path, QString* pathInTrash = nullptr);

// Empties the user's Trash. Nothing is reported.
void EmptyRecycleBin();
