#ifdef _WIN32

#include "archive/file_io.h"
#include "os/dir_listing.h"
#include "os/win/reparse_kind.h"
#include "os/win/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace archive {

namespace {

using os::win::LongPath;
using os::win::Widen;

std::string Narrow(const wchar_t* w) { return os::win::Narrow(std::wstring(w)); }

std::string LastErrorText(const char* what, const std::string& path, DWORD code) {
    return std::string(what) + " '" + path + "': " + os::ListErrorText(static_cast<int>(code));
}

std::time_t ToTimeT(const FILETIME& ft) {
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    // 100 ns ticks since 1601 to seconds since 1970.
    return static_cast<std::time_t>(v.QuadPart / 10000000ULL - 11644473600ULL);
}

// Only symbolic links and junctions lead elsewhere; other reparse points
// (cloud placeholders, deduplicated files) are the files themselves.
bool IsLinkTag(DWORD tag) { return os::win::IsLinkReparseTag(tag); }

FileFacts FactsFrom(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, const FILETIME& lastWrite) {
    FileFacts facts;
    // The find data has no file index: device and fileId stay unknown (also
    // for link targets, as the folders met on the way have none to compare
    // with), and the selection then does not enter linked folders.
    facts.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::File;
    facts.size = (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow;
    facts.timeKnown = true;
    facts.lastWrite = ToTimeT(lastWrite);
    facts.dosAttributes = attributes & 0x37;
    return facts;
}

} // namespace

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// MS-DOS: the external attributes are the file system's own attribute bits.
const std::uint8_t kZipHostSystem = 0;

std::uint32_t ZipExternalAttributes(const FileFacts& facts, bool isFolder) {
    if (facts.dosAttributes)
        return facts.dosAttributes;
    return isFolder ? 0x10u : 0x20u;
}

namespace {

// The facts of what a link leads to; a link whose target cannot be reached
// still counts as a file: it is selected like one and then reported as unreadable.
FileFacts LinkTargetFacts(const std::string& path) {
    FileFacts facts;
    const HANDLE h = CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info;
    if (h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &info))
        facts = FactsFrom(info.dwFileAttributes, info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
    else
        facts.kind = FileKind::File;
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    facts.isLink = true;
    return facts;
}

// Whether the reparse point at path is a link; only the find call reports its tag.
bool IsLinkAt(const std::string& path) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW(LongPath(path).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return IsLinkTag(data.dwReserved0);
}

} // namespace

FileFacts QueryFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data))
        return {};
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkAt(path))
        return LinkTargetFacts(path);
    return FactsFrom(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
}

bool ListFolder(const std::string& folder, std::vector<FolderItem>& items, std::string& error) {
    items.clear();
    std::string pattern = folder;
    if (!pattern.empty() && !IsSeparator(pattern.back()))
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(LongPath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            return true;
        error = LastErrorText("cannot list", folder, code);
        return false;
    }
    do {
        const std::string name = Narrow(data.cFileName);
        if (name == "." || name == "..")
            continue;
        // Links are followed, at the cost of one more call each; everything else
        // is known from the listing.
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(data.dwReserved0))
            items.push_back({name, LinkTargetFacts(pattern.substr(0, pattern.size() - 1) + name)});
        else
            items.push_back(
                {name, FactsFrom(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime)});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

bool ToLocalTime(std::time_t t, std::tm& out) { return localtime_s(&out, &t) == 0; }

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& path, std::string& error, int& nativeError) {
    Close();
    HANDLE h = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        nativeError = static_cast<int>(GetLastError());
        error = LastErrorText("cannot open", path, static_cast<DWORD>(nativeError));
        return false;
    }
    LARGE_INTEGER size;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) {
        CloseHandle(h);
        nativeError = ERROR_INVALID_FUNCTION;
        error = "cannot read '" + path + "': not a regular file";
        return false;
    }
    FILETIME lastWrite{};
    GetFileTime(h, nullptr, nullptr, &lastWrite);
    fHandle = h;
    fPath = path;
    fSize = static_cast<std::uint64_t>(size.QuadPart);
    fLastWriteStamp = (static_cast<std::int64_t>(lastWrite.dwHighDateTime) << 32) | lastWrite.dwLowDateTime;
    return true;
}

bool InputFile::Unchanged(std::string& error, int& nativeError) const {
    LARGE_INTEGER size{};
    FILETIME lastWrite{};
    HANDLE h = static_cast<HANDLE>(fHandle);
    if (!GetFileSizeEx(h, &size) || !GetFileTime(h, nullptr, nullptr, &lastWrite)) {
        nativeError = static_cast<int>(GetLastError());
        error = LastErrorText("cannot query", fPath, static_cast<DWORD>(nativeError));
        return false;
    }
    const std::int64_t stamp = (static_cast<std::int64_t>(lastWrite.dwHighDateTime) << 32) | lastWrite.dwLowDateTime;
    return SameAsWhenOpened(static_cast<std::uint64_t>(size.QuadPart), stamp, error, nativeError);
}

long long InputFile::Read(void* buffer, std::size_t size, std::string& error, int& nativeError) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(fHandle), out + done, want, &got, nullptr)) {
            nativeError = static_cast<int>(GetLastError());
            error = LastErrorText("cannot read", fPath, static_cast<DWORD>(nativeError));
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return static_cast<long long>(done);
}

void InputFile::Close() {
    if (fHandle)
        CloseHandle(static_cast<HANDLE>(fHandle));
    fHandle = nullptr;
}

OutputFile::~OutputFile() {
    if (fHandle)
        CloseHandle(static_cast<HANDLE>(fHandle));
}

bool OutputFile::IsOpen() const { return fHandle != nullptr; }

bool OutputFile::CreateUnique(const std::string& prefix, std::string& path, std::string& error) {
    std::random_device random;
    DWORD code = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        path = prefix + suffix;
        HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            fHandle = h;
            fPath = path;
            return true;
        }
        code = GetLastError();
        if (code != ERROR_FILE_EXISTS)
            break;
    }
    error = LastErrorText("cannot create", path, code);
    return false;
}

bool OutputFile::CreateNew(const std::string& path, std::string& error) {
    HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = LastErrorText("cannot create", path, GetLastError());
        return false;
    }
    fHandle = h;
    fPath = path;
    return true;
}

bool OutputFile::Reopen(const std::string& path, std::string& error) {
    HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    LARGE_INTEGER zero{};
    if (h == INVALID_HANDLE_VALUE || !SetFilePointerEx(h, zero, nullptr, FILE_END)) {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        error = LastErrorText("cannot reopen", path, GetLastError());
        return false;
    }
    fHandle = h;
    fPath = path;
    return true;
}

bool OutputFile::Append(const void* data, std::size_t size, std::string& error) {
    const auto* in = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(static_cast<HANDLE>(fHandle), in, want, &written, nullptr)) {
            error = LastErrorText("cannot write", fPath, GetLastError());
            return false;
        }
        in += written;
        size -= written;
    }
    return true;
}

bool OutputFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size, std::string& error) {
    LARGE_INTEGER here{}, zero{}, target{};
    target.QuadPart = static_cast<LONGLONG>(offset);
    HANDLE h = static_cast<HANDLE>(fHandle);
    if (!SetFilePointerEx(h, zero, &here, FILE_CURRENT) || !SetFilePointerEx(h, target, nullptr, FILE_BEGIN)) {
        error = LastErrorText("cannot seek in", fPath, GetLastError());
        return false;
    }
    const bool ok = Append(data, size, error);
    SetFilePointerEx(h, here, nullptr, FILE_BEGIN);
    return ok;
}

bool OutputFile::Truncate(std::uint64_t size, std::string& error) {
    LARGE_INTEGER target{};
    target.QuadPart = static_cast<LONGLONG>(size);
    HANDLE h = static_cast<HANDLE>(fHandle);
    if (!SetFilePointerEx(h, target, nullptr, FILE_BEGIN) || !SetEndOfFile(h)) {
        error = LastErrorText("cannot truncate", fPath, GetLastError());
        return false;
    }
    return true;
}

bool OutputFile::Flush(std::string& error) {
    if (!FlushFileBuffers(static_cast<HANDLE>(fHandle))) {
        error = LastErrorText("cannot flush to disk", fPath, GetLastError());
        return false;
    }
    return true;
}

bool OutputFile::Close(std::string& error) {
    if (!fHandle)
        return true;
    const bool ok = CloseHandle(static_cast<HANDLE>(fHandle)) != 0;
    fHandle = nullptr;
    if (!ok)
        error = LastErrorText("cannot close", fPath, GetLastError());
    return ok;
}

bool RenameReplacing(const std::string& from, const std::string& to, std::string& error) {
    if (!MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = LastErrorText(("cannot rename '" + from + "' to").c_str(), to, GetLastError());
        return false;
    }
    return true;
}

void RemoveFileQuietly(const std::string& path) {
    const std::wstring w = Widen(path);
    SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(w.c_str());
}

bool RemoveFile(const std::string& path, std::string& error) {
    const std::wstring w = Widen(path);
    SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileW(w.c_str()))
        return true;
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return true;
    error = LastErrorText("cannot delete", path, code);
    return false;
}

bool PathExists(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace archive

#endif
