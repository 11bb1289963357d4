#pragma once

// An exclusive advisory lock on a file, held by this process until the
// object ends or the process dies (the system drops it then, so a killed
// program leaves nothing that stops the next one). Child processes do not
// inherit it.

#include <string>

namespace os {

class FileLock {
public:
    enum class Result { Taken, Held, Failed };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on the file at path (UTF-8; made when missing) without
    // waiting. Held: another process holds it. Failed: the file cannot be
    // opened or locked; error says why (path and system error text).
    Result TryLock(const std::string& path, std::string& error);
    bool IsLocked() const { return fHandle != kNoHandle; }
    void Unlock();

private:
    static constexpr long long kNoHandle = -1;
    long long fHandle = kNoHandle; // a descriptor here, a HANDLE on Windows
};

} // namespace os
