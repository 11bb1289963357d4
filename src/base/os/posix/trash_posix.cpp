#include "os/trash.h"

#include "os/volumes.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

namespace fs = std::filesystem;

std::string DataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.local/share";
}

// A volume trash counts only when it is a real folder of this user, so that a
// planted link cannot send the emptying elsewhere.
bool IsOwnFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

void RemoveContent(const fs::path& folder) {
    std::error_code error;
    if (fs::is_symlink(folder, error) || !fs::is_directory(folder, error))
        return;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        fs::remove_all(it->path(), error);
}

} // namespace

std::vector<std::string> TrashFolders() {
    std::vector<std::string> folders{DataHome() + "/Trash"};
    const std::string suffix = "/.Trash-" + std::to_string(::getuid());
    for (const MountedVolume& volume : MountedVolumes()) {
        const std::string folder = (volume.mountPoint == "/" ? std::string() : volume.mountPoint) + suffix;
        if (IsOwnFolder(folder))
            folders.push_back(folder);
    }
    return folders;
}

void EmptyTrashFolder(const std::string& folder) {
    const fs::path root(folder);
    RemoveContent(root / "files");
    RemoveContent(root / "info");
    std::error_code error;
    fs::remove(root / "directorysizes", error);
}

void EmptyTrash() {
    for (const std::string& folder : TrashFolders())
        EmptyTrashFolder(folder);
}

} // namespace os
