#include "os/trash.h"

#include <windows.h>
#include <shellapi.h>

namespace os {

std::vector<std::string> TrashFolders() { return {}; }

void EmptyTrashFolder(const std::string&) {}

void EmptyTrash() {
    // Loaded at the moment of use, as not every system has the call.
    HMODULE shell = LoadLibraryW(L"Shell32.dll");
    if (!shell)
        return;
    using EmptyBin = HRESULT(WINAPI*)(HWND, LPCSTR, DWORD);
    if (const auto empty = reinterpret_cast<EmptyBin>(GetProcAddress(shell, "SHEmptyRecycleBinA")))
        empty(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
    FreeLibrary(shell);
}

} // namespace os
