#include "os/platform.h"
#include "os/dir_listing.h"
#include "os/win/wide_text.h"

#include <windows.h>

#include <cstdlib>
#include <random>

namespace os {

using win::Narrow;
using win::Widen;

std::string ExecutablePath() {
    wchar_t buffer[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
    return n ? Narrow(std::wstring(buffer, n)) : std::string();
}

std::string CurrentUserKey() {
    wchar_t name[257];
    DWORD size = 257;
    return GetUserNameW(name, &size) && size > 0 ? Narrow(std::wstring(name, size - 1)) : std::string();
}

std::string UserConfigFolder() {
    const wchar_t* appData = _wgetenv(L"APPDATA");
    return appData ? Narrow(appData) : std::string();
}

namespace {

// A new file beside target, named target + "." + six random characters as on
// POSIX, so that an existing "<target>.tmp" of someone else is never
// overwritten and two writers never share a temporary file.
HANDLE CreateTempBeside(const std::wstring& target, std::wstring& temp, DWORD& error) {
    static constexpr wchar_t kChars[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS);
         ++attempt) {
        temp = target + L'.';
        for (int i = 0; i < 6; ++i)
            temp += kChars[random() % (sizeof kChars / sizeof kChars[0] - 1)];
        const HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                     nullptr);
        if (h != INVALID_HANDLE_VALUE)
            return h;
        error = GetLastError();
    }
    return INVALID_HANDLE_VALUE;
}

std::string Cause(DWORD error) { return ListErrorText(static_cast<int>(error)); }

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    const std::wstring target = win::LongPath(path);
    std::wstring temp;
    DWORD code = 0;
    HANDLE h = CreateTempBeside(target, temp, code);
    if (h == INVALID_HANDLE_VALUE) {
        error = "cannot create a temporary file beside " + path + ": " + Cause(code);
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(h);
    code = ok ? 0 : GetLastError();
    CloseHandle(h);
    if (ok && !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        code = GetLastError();
    }
    if (!ok) {
        DeleteFileW(temp.c_str());
        error = "cannot write " + path + ": " + Cause(code);
        return false;
    }
    return true;
}

} // namespace os
