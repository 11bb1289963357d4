#include "os/trash.h"

#include "os/win/wide_text.h"

#include <windows.h>
#include <shellapi.h>

namespace os {

bool MoveToTrash(const std::string& path, std::string& pathInTrash, std::string& error) {
    pathInTrash.clear();
    std::wstring item = win::Widen(path);
    while (item.size() > 3 && (item.back() == L'\\' || item.back() == L'/'))
        item.pop_back();
    if (item.empty() || GetFileAttributesW(item.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = "cannot be examined";
        return false;
    }
    // The shell wants a list ended by two zero characters; undo puts it into the recycle bin.
    std::wstring list = item;
    list.push_back(L'\0');
    list.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
    const int result = SHFileOperationW(&operation);
    if (result != 0 || operation.fAnyOperationsAborted) {
        error = "the recycle bin refused it (shell error " + std::to_string(result) + ")";
        return false;
    }
    if (GetFileAttributesW(item.c_str()) != INVALID_FILE_ATTRIBUTES) {
        error = "it is still there after the move to the recycle bin";
        return false;
    }
    return true;
}

std::vector<std::string> TrashFolders() { return {}; }

void EmptyTrashFolder(const std::string&) {}

void EmptyTrash() {
    // Called directly: shell32 has had it since Windows 2000, and looking it up
    // by name only adds a cast from FARPROC that the compiler cannot check.
    SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

} // namespace os
