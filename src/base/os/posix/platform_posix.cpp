#include "os/platform.h"

#include "os/posix/unique_fd.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

std::string Describe(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string ExecutablePath() {
    char buffer[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string CurrentUserKey() { return std::to_string(::getuid()); }

std::string UserConfigFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.config";
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    std::string temp = path + ".XXXXXX";
    posix::UniqueFd fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        error = Describe("cannot create a temporary file beside", path);
        return false;
    }
    auto fail = [&](const char* what) {
        error = Describe(what, temp);
        ::unlink(temp.c_str());
        return false;
    };
    // Keep the old file's permissions; mkstemp creates 0600.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd.get(), old.st_mode & 07777);
    else
        ::fchmod(fd.get(), 0644 & ~[] { mode_t m = ::umask(0); ::umask(m); return m; }());

    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd.get(), data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail("cannot write");
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0)
        return fail("cannot flush");
    if (!fd.close())
        return fail("cannot close");
    if (::rename(temp.c_str(), path.c_str()) != 0)
        return fail("cannot rename");
    // Make the rename itself durable.
    posix::UniqueFd dir(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return true;
}

} // namespace os
