#pragma once

// The user's wastebasket: the freedesktop.org Trash here, the recycle bin on
// Windows. Paths are byte strings (UTF-8 on Windows).

#include <string>
#include <vector>

namespace os {

// Moves path (a file, a folder with its content, or a symbolic link itself,
// never its target) into the trash of the volume that holds it: the home
// trash for the volume of the user's data folder, otherwise the volume's own
// trash folder. Nothing is ever copied: when no trash on that volume can be
// used, or the move fails, the item stays where it is, the call returns false
// and error says why (the system's reason with the folder concerned).
// pathInTrash receives the item's new path (empty on Windows, whose recycle
// bin does not tell).
bool MoveToTrash(const std::string& path, std::string& pathInTrash, std::string& error);

// The user's trash folders: the home trash ($XDG_DATA_HOME/Trash) first, then
// the per-volume ones (".Trash/<uid>" and ".Trash-<uid>" at a mount point)
// that exist. Empty on
// Windows, whose recycle bin has no folder of its own to name.
std::vector<std::string> TrashFolders();

// Empties one trash folder: the content of files/ and info/ and the cached
// folder sizes go, the folders themselves stay. Links inside are removed,
// never followed.
void EmptyTrashFolder(const std::string& folder);

// Empties every trash folder of the user (the recycle bin on Windows).
// Nothing is reported.
void EmptyTrash();

} // namespace os
