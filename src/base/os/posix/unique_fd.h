#pragma once

// The one owner of an open file descriptor in the POSIX layer.

#include <unistd.h>

#include <utility>

namespace os::posix {

// An open descriptor (or -1), closed when it goes.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fFd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : fFd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(other.release());
        return *this;
    }

    int get() const { return fFd; }
    bool ok() const { return fFd >= 0; }
    // Hands the descriptor over; this object no longer closes it.
    int release() { return std::exchange(fFd, -1); }
    // Closes the descriptor held and takes fd instead.
    void reset(int fd = -1) {
        if (fFd >= 0 && fFd != fd)
            ::close(fFd);
        fFd = fd;
    }
    void swap(UniqueFd& other) noexcept { std::swap(fFd, other.fFd); }
    // Closes now and reports whether the close itself succeeded.
    bool close() {
        const int fd = release();
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fFd;
};

} // namespace os::posix
