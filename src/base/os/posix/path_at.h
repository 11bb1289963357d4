#pragma once

// Paths of any length for the *at system calls. A path the system takes in
// one call is passed as it is, relative to the current folder, so the common
// case costs nothing extra; a longer one is reached through its parent
// folder, opened in pieces.

#include <fcntl.h>

#include <string>

namespace os::posix {

// True when path is too long for a single system call (ENAMETOOLONG).
bool PathTooLongForOneCall(const std::string& path);

// How the folders of a long path below its leading part are entered. The
// engine's own calls refuse a link there, so that nothing deeper is reached
// through one; the archive writer reads what the user selected and follows
// links as a single call would.
enum class LinksOnTheWay { Refused, Followed };

// Where the last name of a path lives: dir() and name() go to fstatat,
// openat, unlinkat, renameat and the like. For a short path that is the
// current folder (AT_FDCWD) and the path itself, which must outlive this
// object; for a longer one it is the parent folder, held open until this
// object ends, and the last name. The part of the parent that fits into one
// call is opened as a shorter path would be (links followed, as the user may
// reach a folder through one). Below it, with LinksOnTheWay::Refused each
// folder is entered alone with O_NOFOLLOW; with Followed as many whole names
// as one call takes are entered at once.
class PathAt {
public:
    explicit PathAt(const std::string& path, LinksOnTheWay links = LinksOnTheWay::Refused);
    ~PathAt();
    PathAt(const PathAt&) = delete;
    PathAt& operator=(const PathAt&) = delete;

    // False when the parent could not be opened; error() then tells why:
    // ENOENT or ENOTDIR as a single call would give them, ELOOP for a
    // refused symbolic link on the way, anything else as the system gave it.
    bool ok() const { return fError == 0; }
    int error() const { return fError; }
    int dir() const { return fDir; }
    const char* name() const { return fName; }

private:
    int fDir = AT_FDCWD; // owned when not AT_FDCWD
    int fError = 0;
    std::string fLeaf;   // the last name of a long path
    const char* fName = nullptr;
};

// Opens the folder at path, of any length, with flags (O_DIRECTORY and
// O_CLOEXEC are added). With LinksOnTheWay::Refused a long path's last name
// is opened with O_NOFOLLOW too. -1 with errno set on failure.
int OpenFolder(const std::string& path, int flags, LinksOnTheWay links = LinksOnTheWay::Refused);

// open(path, flags) for a path of any length (O_CLOEXEC is the caller's).
// -1 with errno set on failure.
int OpenPath(const std::string& path, int flags, LinksOnTheWay links);

} // namespace os::posix
