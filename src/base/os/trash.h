#pragma once

// The user's wastebasket: the freedesktop.org Trash here, the recycle bin on
// Windows. Moving items into it needs the toolkit and lives with the engine's
// helpers; emptying it is done here.

#include <string>
#include <vector>

namespace os {

// The user's trash folders: the home trash ($XDG_DATA_HOME/Trash) first, then
// the per-volume ones (".Trash-<uid>" at a mount point) that exist. Empty on
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
