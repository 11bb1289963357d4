#include "os/file_lock.h"

#include "os/dir_listing.h"
#include "os/win/wide_text.h"

#include <windows.h>

namespace os {

using win::LongPath;

FileLock::~FileLock() { Unlock(); }

FileLock::Result FileLock::TryLock(const std::string& path, std::string& error) {
    Unlock();
    // Not inheritable: a program a script starts must not keep the lock.
    const HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + ": " + ListErrorText(static_cast<int>(GetLastError()));
        return Result::Failed;
    }
    OVERLAPPED at{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD err = GetLastError();
        CloseHandle(file);
        if (err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING)
            return Result::Held;
        error = path + ": " + ListErrorText(static_cast<int>(err));
        return Result::Failed;
    }
    fHandle = reinterpret_cast<long long>(file);
    return Result::Taken;
}

void FileLock::Unlock() {
    if (fHandle == kNoHandle)
        return;
    // Closing the handle releases the lock.
    CloseHandle(reinterpret_cast<HANDLE>(fHandle));
    fHandle = kNoHandle;
}

} // namespace os
