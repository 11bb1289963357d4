#include "os/trash.h"

#include "os/posix/path_at.h"
#include "os/posix/unique_fd.h"
#include "os/trash_info.h"
#include "os/volumes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <utility>

#include <fcntl.h>
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

std::string UidText() { return std::to_string(::getuid()); }

std::string Reason(const std::string& what, int error) { return what + ": " + std::strerror(error); }

// A volume trash counts only when it is a real folder of this user, so that a
// planted link cannot send the emptying elsewhere.
bool IsOwnFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// The shared ".Trash" of a volume may hold per-user trashes only when it is a
// real folder with the sticky bit, so users cannot remove each other's.
bool IsSharedTrash(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0;
}

void RemoveContent(const fs::path& folder) {
    std::error_code error;
    if (fs::is_symlink(folder, error) || !fs::is_directory(folder, error))
        return;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        fs::remove_all(it->path(), error);
}

// Creates the folder with its missing parents, each new one for this user only.
bool MakeOwnFolders(const std::string& path) {
    if (path.empty() || ::mkdir(path.c_str(), 0700) == 0)
        return true;
    if (errno == EEXIST)
        return true;
    if (errno != ENOENT)
        return false;
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0 || !MakeOwnFolders(path.substr(0, slash)))
        return false;
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// Opens the folder name inside parent, creating it (mode 0700) when missing.
// With ownOnly it must be a real folder of this user, never a link.
posix::UniqueFd OpenTrashFolder(int parent, const char* name, bool ownOnly) {
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (ownOnly ? O_NOFOLLOW : 0);
    posix::UniqueFd folder(::openat(parent, name, flags));
    if (!folder.ok() && errno == ENOENT) {
        if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST)
            return posix::UniqueFd();
        folder = posix::UniqueFd(::openat(parent, name, flags));
    }
    struct stat st {};
    if (folder.ok() && ownOnly && (::fstat(folder.get(), &st) != 0 || st.st_uid != ::getuid())) {
        errno = EPERM;
        return posix::UniqueFd();
    }
    return folder;
}

// A trash folder ready for use: its path and its files/ and info/ folders.
struct TTrash {
    std::string path;
    posix::UniqueFd files, info;
};

// Opens the trash at parent + "/" + name (created when missing) with files/
// and info/; false with error set when it cannot be used.
bool OpenTrash(const std::string& parent, const std::string& name, bool ownOnly, TTrash& trash, std::string& error) {
    trash.path = (parent == "/" ? std::string() : parent) + "/" + name;
    const posix::UniqueFd top(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    posix::UniqueFd folder = top.ok() ? OpenTrashFolder(top.get(), name.c_str(), ownOnly) : posix::UniqueFd();
    if (folder.ok())
        trash.files = OpenTrashFolder(folder.get(), "files", true);
    if (trash.files.ok())
        trash.info = OpenTrashFolder(folder.get(), "info", true);
    if (!trash.info.ok()) {
        error = Reason("the trash folder " + trash.path + " cannot be used", errno);
        return false;
    }
    return true;
}

// The top folder of the volume that holds the folder parent (device device)
// and parent's path without links, which the record names relative to it.
bool FindTopFolder(const std::string& parent, dev_t device, std::string& top, std::string& resolved,
                   std::string& error) {
    char* real = ::realpath(parent.c_str(), nullptr);
    if (!real) {
        error = Reason("the volume of " + parent + " cannot be found", errno);
        return false;
    }
    resolved = real;
    std::free(real);
    top = resolved;
    while (top != "/") {
        const std::size_t slash = top.find_last_of('/');
        const std::string up = slash == 0 ? std::string("/") : top.substr(0, slash);
        struct stat st {};
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != device)
            break;
        top = up;
    }
    return true;
}

// Seeded on first use only: most moves never need a random name.
unsigned long long RandomNumber() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    return random();
}

// Records and moves the item into the open trash under a free name: the
// record is created first (exclusively, so no other item's record is
// overwritten), then the item is renamed next to it without replacing
// anything; a failed move takes its record back.
bool MoveIntoTrash(const posix::PathAt& item, const std::string& name, const std::string& recordedPath,
                   TTrash& trash, std::string& pathInTrash, std::string& error) {
    // The precise clock: time() may read a coarse one that lags a few milliseconds.
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::tm local {};
    ::localtime_r(&now.tv_sec, &local);
    const std::string record = TrashInfoText(recordedPath, local);
    // Numbers count up first, as people expect; random ones end a long run of
    // taken names, and the number of tries is bounded whatever the trash holds.
    constexpr unsigned kCountedTries = 64, kTries = 128;
    for (unsigned attempt = 0; attempt < kTries; ++attempt) {
        const unsigned long long number =
            attempt == 0 ? 0 : attempt < kCountedTries ? attempt + 1 : RandomNumber() % 1000000000000ULL;
        const std::string entry = TrashEntryName(name, number);
        const std::string infoName = entry + ".trashinfo";
        const int fd =
            ::openat(trash.info.get(), infoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            error = Reason("cannot write a record in " + trash.path + "/info", errno);
            return false;
        }
        const ssize_t written = ::write(fd, record.data(), record.size());
        int writeError = written < 0 ? errno : ENOSPC;
        const bool closed = ::close(fd) == 0;
        if (!closed)
            writeError = errno;
        if (!closed || written != static_cast<ssize_t>(record.size())) {
            ::unlinkat(trash.info.get(), infoName.c_str(), 0);
            error = Reason("cannot write a record in " + trash.path + "/info", writeError);
            return false;
        }
        int moved = ::renameat2(item.dir(), item.name(), trash.files.get(), entry.c_str(), RENAME_NOREPLACE);
        if (moved != 0 && errno == EINVAL) {
            // The file system cannot refuse to replace: look first instead.
            struct stat st {};
            if (::fstatat(trash.files.get(), entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
                errno = EEXIST;
            else
                moved = ::renameat(item.dir(), item.name(), trash.files.get(), entry.c_str());
        }
        if (moved == 0) {
            pathInTrash = trash.path + "/files/" + entry;
            return true;
        }
        const int cause = errno;
        ::unlinkat(trash.info.get(), infoName.c_str(), 0);
        if (cause == EEXIST)
            continue;
        error = Reason("cannot move it into " + trash.path + "/files", cause);
        return false;
    }
    error = "no free name for it in " + trash.path + "/files";
    return false;
}

} // namespace

bool MoveToTrash(const std::string& path, std::string& pathInTrash, std::string& error) {
    std::string item = path;
    while (item.size() > 1 && item.back() == '/')
        item.pop_back();
    const std::size_t slash = item.find_last_of('/');
    const std::string name = slash == std::string::npos ? std::string() : item.substr(slash + 1);
    if (item.empty() || item.front() != '/' || name.empty() || name == "." || name == "..") {
        error = "not the absolute path of an item";
        return false;
    }
    const std::string parent = slash == 0 ? std::string("/") : item.substr(0, slash);
    // Reached through its parent when the path is too long for one call.
    const posix::PathAt at(item);
    struct stat st {};
    if (!at.ok() || ::fstatat(at.dir(), at.name(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        error = Reason("cannot be examined", at.ok() ? errno : at.error());
        return false;
    }

    const std::string dataHome = DataHome();
    struct stat home {};
    if (dataHome.front() != '/' ||
        (::stat(dataHome.c_str(), &home) != 0 && (!MakeOwnFolders(dataHome) || ::stat(dataHome.c_str(), &home) != 0))) {
        error = Reason("the data folder " + dataHome + " cannot be used", dataHome.front() == '/' ? errno : ENOENT);
        return false;
    }
    TTrash trash;
    if (home.st_dev == st.st_dev) {
        if (!OpenTrash(dataHome, "Trash", false, trash, error))
            return false;
        return MoveIntoTrash(at, name, item, trash, pathInTrash, error);
    }

    // Another volume: its own trash, never a copy into the home trash.
    std::string top, resolved;
    if (!FindTopFolder(parent, st.st_dev, top, resolved, error))
        return false;
    std::string recorded = (resolved == "/" ? std::string() : resolved) + "/" + name;
    recorded.erase(0, top == "/" ? 1 : top.size() + 1);
    const std::string uid = UidText();
    const std::string shared = (top == "/" ? std::string() : top) + "/.Trash";
    std::string sharedError;
    if (IsSharedTrash(shared) && OpenTrash(shared, uid, true, trash, sharedError))
        return MoveIntoTrash(at, name, recorded, trash, pathInTrash, error);
    if (OpenTrash(top, ".Trash-" + uid, true, trash, error))
        return MoveIntoTrash(at, name, recorded, trash, pathInTrash, error);
    return false;
}

std::vector<std::string> TrashFolders() {
    std::vector<std::string> folders{DataHome() + "/Trash"};
    const std::string uid = UidText();
    for (const MountedVolume& volume : MountedVolumes()) {
        const std::string top = volume.mountPoint == "/" ? std::string() : volume.mountPoint;
        if (IsSharedTrash(top + "/.Trash") && IsOwnFolder(top + "/.Trash/" + uid))
            folders.push_back(top + "/.Trash/" + uid);
        if (IsOwnFolder(top + "/.Trash-" + uid))
            folders.push_back(top + "/.Trash-" + uid);
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
