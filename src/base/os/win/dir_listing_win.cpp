#include "os/dir_listing.h"
#include "os/file_attributes.h"

#include "os/win/reparse_kind.h"
#include "os/win/wide_text.h"

namespace os {

namespace {

using win::Narrow;
using win::LongPath;

// FILETIME counts 100 ns steps since 1601-01-01.
std::int64_t ToUnixNs(const FILETIME& t) {
    const std::int64_t ticks = (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    return (ticks - 116444736000000000LL) * 100;
}

} // namespace

int ListFolder(const std::string& folder, const DirEntryVisitor& visit) {
    std::wstring pattern = LongPath(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // An empty drive root reports no first file; that is a complete listing.
        return error == ERROR_FILE_NOT_FOUND ? 0 : static_cast<int>(error);
    }
    int failure = 0;
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0')))
            continue;
        const std::string utf8 = Narrow(std::wstring(name));
        DirEntry entry;
        entry.name = utf8;
        const DWORD attributes = data.dwFileAttributes;
        entry.kind = win::ListedKind(attributes, data.dwReserved0);
        entry.size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.modifiedNs = ToUnixNs(data.ftLastWriteTime);
        entry.createdNs = ToUnixNs(data.ftCreationTime);
        entry.attributes = attributes;
        entry.timesKnown = true;
        if (!visit(entry)) {
            FindClose(find);
            return 0;
        }
    } while (FindNextFileW(find, &data));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES)
        failure = static_cast<int>(error);
    FindClose(find);
    return failure;
}

std::string ListErrorText(int error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result = length ? Narrow(std::wstring(text, length)) : "system error " + std::to_string(error);
    if (text)
        LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

std::int64_t RegularFileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace os
