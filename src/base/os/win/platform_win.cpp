#include "os/platform.h"
#include "os/win/wide_text.h"

#include <windows.h>

#include <cstdlib>

namespace os {

using win::Narrow;
using win::Widen;

std::string ExecutablePath() {
    wchar_t buffer[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
    return n ? Narrow(std::wstring(buffer, n)) : std::string();
}

std::string UserConfigFolder() {
    const wchar_t* appData = _wgetenv(L"APPDATA");
    return appData ? Narrow(appData) : std::string();
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    const std::wstring target = Widen(path);
    const std::wstring temp = target + L".tmp";
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = "cannot create a temporary file beside " + path;
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(h);
    CloseHandle(h);
    if (!ok || !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace os
