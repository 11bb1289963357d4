#include "os/posix/path_at.h"

#include "os/posix/unique_fd.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace os::posix {

namespace {

constexpr int kParentFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// O_NOFOLLOW together with O_DIRECTORY refuses a link with ENOTDIR, as if a
// file stood there; a link is told apart, since what lies behind it exists.
int RefusalOf(int dirFd, const char* name, int error) {
    struct stat st {};
    if (error == ENOTDIR && ::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
        return ELOOP;
    return error;
}

// Where the next piece of parent, starting at at, ends: one name when links
// are refused, else the longest run of whole names that one call takes.
// npos when a single name is already too long for one call.
std::size_t EndOfPiece(const std::string& parent, std::size_t at, LinksOnTheWay links) {
    if (links == LinksOnTheWay::Refused) {
        const std::size_t end = parent.find('/', at);
        return end == std::string::npos ? parent.size() : end;
    }
    if (parent.size() - at < PATH_MAX)
        return parent.size();
    const std::size_t end = parent.rfind('/', at + PATH_MAX - 1);
    return end == std::string::npos || end <= at ? std::string::npos : end;
}

// Opens the folder parent of a long path; -1 with errno set on failure.
int OpenParent(const std::string& parent, LinksOnTheWay links) {
    if (!PathTooLongForOneCall(parent))
        return ::open(parent.c_str(), kParentFlags);
    // The longest leading part that one call takes, then the rest in pieces.
    UniqueFd fd;
    std::size_t at = 0;
    if (const std::size_t cut = parent.rfind('/', PATH_MAX - 1); cut != std::string::npos) {
        fd.reset(::open(cut == 0 ? "/" : parent.substr(0, cut).c_str(), kParentFlags));
        if (!fd.ok())
            return -1;
        at = cut + 1;
    }
    const int noFollow = links == LinksOnTheWay::Refused ? O_NOFOLLOW : 0;
    while (at < parent.size()) {
        // A piece never starts with '/', which would make it absolute.
        if (parent[at] == '/') {
            ++at;
            continue;
        }
        const std::size_t end = EndOfPiece(parent, at, links);
        if (end == std::string::npos) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const std::string piece = parent.substr(at, end - at);
        at = end + 1;
        if (piece == ".")
            continue;
        const int dirFd = fd.ok() ? fd.get() : AT_FDCWD;
        const int next = ::openat(dirFd, piece.c_str(), kParentFlags | noFollow);
        if (next < 0) {
            errno = noFollow ? RefusalOf(dirFd, piece.c_str(), errno) : errno;
            return -1;
        }
        fd.reset(next);
    }
    return fd.ok() ? fd.release() : ::open(".", kParentFlags);
}

} // namespace

bool PathTooLongForOneCall(const std::string& path) { return path.size() >= PATH_MAX; }

PathAt::PathAt(const std::string& path, LinksOnTheWay links) {
    if (!PathTooLongForOneCall(path)) {
        fName = path.c_str();
        return;
    }
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    const std::size_t slash = path.rfind('/', end - 1);
    fLeaf = slash == std::string::npos ? path.substr(0, end) : path.substr(slash + 1, end - slash - 1);
    fName = fLeaf.c_str();
    if (slash == std::string::npos)
        return; // one name longer than any file system takes: the call itself refuses it
    const int fd = OpenParent(slash == 0 ? std::string("/") : path.substr(0, slash), links);
    if (fd < 0) {
        fError = errno != 0 ? errno : EIO;
        fDir = -1; // a call that ignores ok() fails instead of acting on the current folder
        return;
    }
    fDir = fd;
}

PathAt::~PathAt() {
    if (fDir >= 0)
        ::close(fDir);
}

int OpenPath(const std::string& path, int flags, LinksOnTheWay links) {
    if (!PathTooLongForOneCall(path))
        return ::open(path.c_str(), flags);
    const PathAt at(path, links);
    if (!at.ok()) {
        errno = at.error();
        return -1;
    }
    return ::openat(at.dir(), at.name(), flags);
}

int OpenFolder(const std::string& path, int flags, LinksOnTheWay links) {
    flags |= O_DIRECTORY | O_CLOEXEC;
    if (!PathTooLongForOneCall(path))
        return ::open(path.empty() ? "." : path.c_str(), flags);
    if (links == LinksOnTheWay::Followed)
        return OpenPath(path, flags, links);
    const PathAt at(path, links);
    if (!at.ok()) {
        errno = at.error();
        return -1;
    }
    const int fd = ::openat(at.dir(), at.name(), flags | O_NOFOLLOW);
    if (fd < 0)
        errno = RefusalOf(at.dir(), at.name(), errno);
    return fd;
}

} // namespace os::posix
