#include "os/posix/path_at.h"

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

// Opens the folder parent of a long path; -1 with errno set on failure.
int OpenParent(const std::string& parent) {
    if (!PathTooLongForOneCall(parent))
        return ::open(parent.c_str(), kParentFlags);
    // The longest leading part that one call takes, then one name at a time.
    int fd = AT_FDCWD;
    std::size_t at = 0;
    if (const std::size_t cut = parent.rfind('/', PATH_MAX - 1); cut != std::string::npos) {
        fd = ::open(cut == 0 ? "/" : parent.substr(0, cut).c_str(), kParentFlags);
        if (fd < 0)
            return -1;
        at = cut + 1;
    }
    while (at < parent.size()) {
        std::size_t end = parent.find('/', at);
        if (end == std::string::npos)
            end = parent.size();
        const std::string name = parent.substr(at, end - at);
        at = end + 1;
        if (name.empty() || name == ".")
            continue;
        const int next = ::openat(fd, name.c_str(), kParentFlags | O_NOFOLLOW);
        const int error = next < 0 ? RefusalOf(fd, name.c_str(), errno) : 0;
        if (fd != AT_FDCWD)
            ::close(fd);
        if (next < 0) {
            errno = error;
            return -1;
        }
        fd = next;
    }
    return fd != AT_FDCWD ? fd : ::open(".", kParentFlags);
}

} // namespace

bool PathTooLongForOneCall(const std::string& path) { return path.size() >= PATH_MAX; }

PathAt::PathAt(const std::string& path) {
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
    const int fd = OpenParent(slash == 0 ? std::string("/") : path.substr(0, slash));
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

int OpenFolder(const std::string& path, int flags) {
    flags |= O_DIRECTORY | O_CLOEXEC;
    if (!PathTooLongForOneCall(path))
        return ::open(path.empty() ? "." : path.c_str(), flags);
    const PathAt at(path);
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
