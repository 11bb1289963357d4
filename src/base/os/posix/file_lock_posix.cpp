#include "os/file_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace os {

FileLock::~FileLock() { Unlock(); }

FileLock::Result FileLock::TryLock(const std::string& path, std::string& error) {
    Unlock();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return Result::Failed;
    }
    // flock belongs to the open file, not the process: a second open in this
    // process conflicts too, and the lock goes with the last descriptor.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR)
            continue;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return Result::Held;
        error = path + ": " + std::strerror(err);
        return Result::Failed;
    }
    fHandle = fd;
    return Result::Taken;
}

void FileLock::Unlock() {
    if (fHandle == kNoHandle)
        return;
    ::close(static_cast<int>(fHandle)); // drops the lock
    fHandle = kNoHandle;
}

} // namespace os
