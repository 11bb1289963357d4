#include "os/file_ops.h"

#include "os/dir_listing.h"
#include "os/names_below.h"
#include "os/win/wide_text.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

// Older MinGW headers lack the flag; its value is fixed by the Windows ABI.
#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif

namespace os {

namespace {

using win::Narrow;
using win::LongPath;
using win::Widen;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Attribute bits a program may set; the others belong to the file system.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Reparse tags as the Windows ABI defines them (not every header declares them).
constexpr DWORD kTagMountPoint = 0xA0000003;
constexpr DWORD kTagSymLink = 0xA000000C;
constexpr DWORD kNameSurrogateBit = 0x20000000;
constexpr DWORD kMaxReparseDataSize = 16 * 1024;
constexpr std::uint32_t kSymLinkRelative = 0x1;

constexpr DWORD kDefaultBlockSize = 1 << 20;
constexpr DWORD kMaxBlockSize = 64 << 20;

// FILETIME counts 100 ns steps since 1601-01-01.
constexpr std::int64_t kEpochTicks = 116444736000000000LL;
constexpr std::int64_t kMaxTicks = INT64_MAX / 100 + kEpochTicks;

std::int64_t TicksOf(const FILETIME& t) {
    const std::uint64_t ticks = (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    return ticks > static_cast<std::uint64_t>(kMaxTicks) ? kMaxTicks : static_cast<std::int64_t>(ticks);
}

std::int64_t ToUnixNs(const FILETIME& t) { return (TicksOf(t) - kEpochTicks) * 100; }

// False for times before 1601, which a FILETIME cannot hold (a zero FILETIME
// would even mean "leave unchanged").
bool ToFileTime(std::int64_t ns, FILETIME& t) {
    std::int64_t steps = ns / 100;
    if (ns % 100 < 0)
        --steps;
    if (steps <= -kEpochTicks)
        return false;
    const auto ticks = static_cast<std::uint64_t>(steps + kEpochTicks);
    t.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    t.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return true;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Closes a handle when the scope ends.
class THandle {
public:
    explicit THandle(HANDLE handle) : fHandle(handle) {}
    ~THandle() { close(); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE get() const { return fHandle; }
    bool ok() const { return fHandle != INVALID_HANDLE_VALUE && fHandle != nullptr; }
    // Closes now and reports whether the close itself succeeded.
    bool close() {
        const HANDLE handle = fHandle;
        fHandle = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || handle == nullptr || CloseHandle(handle) != 0;
    }
    void reset(HANDLE handle) {
        close();
        fHandle = handle;
    }

private:
    HANDLE fHandle;
};

// Opens a file or folder for its metadata; followLink false opens a link itself.
HANDLE OpenEntry(const std::wstring& path, DWORD access, bool followLink) {
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
    if (!followLink)
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    return CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

// Symbolic links and junctions stand for another name; other reparse points
// (deduplicated or cloud files) are ordinary files and folders to a reader.
bool IsLinkTag(DWORD tag) { return (tag & kNameSurrogateBit) != 0; }

// The reparse tag of an open entry; when it cannot be read the entry is taken
// for a link, so that it is never followed by mistake.
DWORD ReparseTagOf(HANDLE entry) {
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &info, sizeof info))
        return kTagSymLink;
    return info.ReparseTag;
}

// Attributes and reparse tag of path itself (links not followed).
struct TEntryFacts {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    DWORD tag = 0;
    bool exists() const { return attributes != INVALID_FILE_ATTRIBUTES; }
    bool isLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(tag); }
    bool isFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !isLink(); }
};

TEntryFacts FactsOf(const std::wstring& path) {
    TEntryFacts facts;
    facts.attributes = GetFileAttributesW(path.c_str());
    if (facts.exists() && (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        const THandle entry(OpenEntry(path, FILE_READ_ATTRIBUTES, false));
        facts.tag = entry.ok() ? ReparseTagOf(entry.get()) : kTagSymLink;
    }
    return facts;
}

bool IsMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
}

// Replaces the settable attributes of path (of a link itself unless followLink).
bool WriteAttributes(const std::wstring& path, DWORD attributes, bool followLink) {
    const THandle entry(OpenEntry(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, followLink));
    if (!entry.ok())
        return false;
    FILE_BASIC_INFO info{}; // zero times leave the times as they are
    info.FileAttributes = attributes & kSettableAttributes;
    if (info.FileAttributes == 0)
        info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(entry.get(), FileBasicInfo, &info, sizeof info) != 0;
}

// Windows refuses to delete or replace a read-only file where other systems
// only look at the folder's permissions, so the flag is taken off first.
void MakeWritable(const std::wstring& path, DWORD attributes) {
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        WriteAttributes(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY), false);
}

// Removes a file, a file link, or a folder link or junction (never its target).
bool RemoveEntryItself(const std::wstring& path, DWORD attributes) {
    MakeWritable(path, attributes);
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str()) != 0
                                                   : DeleteFileW(path.c_str()) != 0;
}

void FillStatus(DWORD attributes, DWORD tag, std::int64_t size, const FILETIME& written, const FILETIME& accessed,
                PathStatus& status) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(tag))
        status.kind = PathKind::SymLink;
    else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        status.kind = PathKind::Folder;
    else if (attributes & FILE_ATTRIBUTE_DEVICE)
        status.kind = PathKind::Other;
    else
        status.kind = PathKind::File;
    status.size = status.kind == PathKind::File ? size : 0;
    status.modifiedNs = ToUnixNs(written);
    status.accessedNs = ToUnixNs(accessed);
    status.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    // The read-only flag is the only permission Windows keeps with a file; the
    // bits are derived from it so that they carry it to SetPermissions.
    const bool folder = status.kind == PathKind::Folder;
    status.permissions = status.readOnly ? (folder ? 0555u : 0444u) : (folder ? 0755u : 0644u);
}

std::int64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
}

void FillStatus(const BY_HANDLE_FILE_INFORMATION& info, DWORD tag, PathStatus& status) {
    FillStatus(info.dwFileAttributes, tag, SizeOf(info), info.ftLastWriteTime, info.ftLastAccessTime, status);
    status.device = info.dwVolumeSerialNumber;
    status.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

// Removes everything inside folder; false when something stayed.
bool RemoveContent(const std::wstring& folder) {
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/')
        base += L'\\';
    struct TChild {
        std::wstring path;
        DWORD attributes;
        DWORD tag;
    };
    std::vector<TChild> children;
    WIN32_FIND_DATAW data;
    const HANDLE find =
        FindFirstFileExW((base + L'*').c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool ok = true;
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0')))
            continue;
        const DWORD tag = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;
        children.push_back({base + name, data.dwFileAttributes, tag});
    } while (FindNextFileW(find, &data));
    if (GetLastError() != ERROR_NO_MORE_FILES)
        ok = false;
    FindClose(find);

    std::vector<const TChild*> folders;
    for (const TChild& child : children) {
        const bool link = (child.attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(child.tag);
        if ((child.attributes & FILE_ATTRIBUTE_DIRECTORY) && !link)
            folders.push_back(&child);
        else if (!RemoveEntryItself(child.path, child.attributes))
            ok = false;
    }
    for (const TChild* child : folders) {
        MakeWritable(child->path, child->attributes);
        if (!RemoveContent(child->path))
            ok = false;
        if (!RemoveDirectoryW(child->path.c_str()))
            ok = false;
    }
    return ok;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsAbsolute(const std::string& path) {
    return (!path.empty() && IsSeparator(path[0])) || (path.size() >= 2 && path[1] == ':');
}

// Windows makes file and folder links differently: the kind follows the
// target as seen from the link's folder (a missing target gives a file link).
bool TargetIsFolder(const std::string& target, const std::string& linkPath) {
    std::string resolved = target;
    if (!IsAbsolute(target)) {
        const std::size_t slash = linkPath.find_last_of("\\/");
        resolved = (slash == std::string::npos ? std::string() : linkPath.substr(0, slash + 1)) + target;
    }
    return IsFolder(LongPath(resolved));
}

std::uint16_t ReadU16(const unsigned char* at) {
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

std::uint32_t ReadU32(const unsigned char* at) {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// One name from the path buffer of a reparse point; false when it lies outside the data.
bool ReadReparseName(const unsigned char* data, std::size_t size, std::size_t bufferAt, std::size_t offset,
                     std::size_t length, std::wstring& name) {
    if (length % sizeof(wchar_t) != 0 || bufferAt + offset + length > size)
        return false;
    name.assign(length / sizeof(wchar_t), L'\0');
    if (length != 0)
        std::memcpy(name.data(), data + bufferAt + offset, length);
    return true;
}

// The target text of a symbolic link or junction from its reparse data: the
// name shown to the user, or else the substitute name without its NT prefix.
bool ParseLinkTarget(const unsigned char* data, std::size_t size, std::wstring& target) {
    constexpr std::size_t kHeaderSize = 8; // tag, data length, reserved
    if (size < kHeaderSize)
        return false;
    const std::uint32_t tag = ReadU32(data);
    const std::size_t dataEnd = kHeaderSize + ReadU16(data + 4);
    if (dataEnd < size)
        size = dataEnd;
    std::size_t bufferAt = 0;
    if (tag == kTagSymLink)
        bufferAt = kHeaderSize + 12; // four name offsets and lengths, then the flags
    else if (tag == kTagMountPoint)
        bufferAt = kHeaderSize + 8;
    else
        return false;
    if (size < bufferAt)
        return false;
    std::wstring substitute;
    std::wstring print;
    if (!ReadReparseName(data, size, bufferAt, ReadU16(data + 8), ReadU16(data + 10), substitute) ||
        !ReadReparseName(data, size, bufferAt, ReadU16(data + 12), ReadU16(data + 14), print))
        return false;
    const bool relative = tag == kTagSymLink && (ReadU32(data + 16) & kSymLinkRelative) != 0;
    if (!print.empty() || relative) {
        target = print.empty() ? substitute : print;
        return true;
    }
    if (substitute.rfind(L"\\??\\UNC\\", 0) == 0)
        target = L"\\\\" + substitute.substr(8);
    else if (substitute.rfind(L"\\??\\", 0) == 0)
        target = substitute.substr(4);
    else
        target = substitute;
    return true;
}

std::mt19937_64& NameRandom() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    return random;
}

std::string RandomSuffix() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::uint64_t value = NameRandom()();
    std::string suffix(16, '0');
    for (auto it = suffix.rbegin(); it != suffix.rend(); ++it, value >>= 4)
        *it = kDigits[value & 0xF];
    return suffix;
}

// Creates a new file with a unique name in folder, open for writing;
// INVALID_HANDLE_VALUE when none could be made.
HANDLE OpenUniqueFile(const std::string& folder, const std::string& prefix, std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + prefix + RandomSuffix();
        const HANDLE file = CreateFileW(LongPath(candidate).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            path = std::move(candidate);
            return file;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

// One buffer per thread for all its copies, grown to the largest block asked
// for and never cleared: a run copies hundreds of thousands of files, and a
// fresh zero-filled mebibyte for each one costs more than many small copies.
char* CopyBuffer(DWORD size) {
    thread_local std::unique_ptr<char[]> buffer;
    thread_local DWORD capacity = 0;
    if (capacity < size) {
        buffer = std::make_unique_for_overwrite<char[]>(size);
        capacity = size;
    }
    return buffer.get();
}

// Copies until the end of the input; stops early once expected bytes are
// copied (the caller compares the source's size before and after anyway).
CopyResult CopyBlocks(HANDLE in, HANDLE out, std::int64_t expected, std::int64_t blockSize,
                      const CopyProgress& progress) {
    DWORD block = kDefaultBlockSize;
    if (blockSize > 0)
        block = blockSize > static_cast<std::int64_t>(kMaxBlockSize) ? kMaxBlockSize : static_cast<DWORD>(blockSize);
    char* const buffer = CopyBuffer(block);
    std::int64_t copied = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, buffer, block, &got, nullptr))
            return CopyResult::SourceFailed;
        if (got == 0)
            return CopyResult::Ok;
        DWORD written = 0;
        while (written < got) {
            DWORD n = 0;
            if (!WriteFile(out, buffer + written, got - written, &n, nullptr) || n == 0)
                return CopyResult::TargetFailed;
            written += n;
        }
        copied += got;
        if (progress && !progress(copied))
            return CopyResult::Stopped;
        if (copied >= expected)
            return CopyResult::Ok;
    }
}

HANDLE OpenSource(const std::wstring& path, bool followLink) {
    DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN;
    if (!followLink)
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    return CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

} // namespace

PathStatus StatusOf(const std::string& path) {
    PathStatus status;
    const std::wstring wide = LongPath(path);
    if (wide.empty())
        return status;
    const THandle entry(OpenEntry(wide, FILE_READ_ATTRIBUTES, false));
    if (entry.ok()) {
        if (GetFileType(entry.get()) != FILE_TYPE_DISK) {
            status.kind = PathKind::Other;
            return status;
        }
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(entry.get(), &info)) {
            const DWORD tag = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? ReparseTagOf(entry.get()) : 0;
            FillStatus(info, tag, status);
            return status;
        }
    } else if (IsMissingError(GetLastError())) {
        return status;
    }
    // Some entries cannot be opened at all (the paging file, entries locked
    // against us) but still show in their folder's listing.
    if (path.find_first_of("*?") != std::string::npos)
        return status;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(wide.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        if (const DWORD error = GetLastError(); !IsMissingError(error)) {
            status.kind = PathKind::Error;
            status.errorText = "system error " + std::to_string(error);
        }
        return status;
    }
    FindClose(find);
    const DWORD tag = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;
    const auto size =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    FillStatus(data.dwFileAttributes, tag, size, data.ftLastWriteTime, data.ftLastAccessTime, status);
    return status;
}

bool SetPathTimes(const std::string& path, std::int64_t accessedNs, std::int64_t modifiedNs) {
    FILETIME accessed;
    FILETIME modified;
    if (!ToFileTime(accessedNs, accessed) || !ToFileTime(modifiedNs, modified))
        return false;
    const THandle entry(OpenEntry(LongPath(path), FILE_WRITE_ATTRIBUTES, false));
    return entry.ok() && SetFileTime(entry.get(), nullptr, &accessed, &modified) != 0;
}

bool SetPermissions(const std::string& path, std::uint32_t permissions) {
    const THandle entry(OpenEntry(LongPath(path), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, true));
    BY_HANDLE_FILE_INFORMATION info;
    if (!entry.ok() || !GetFileInformationByHandle(entry.get(), &info))
        return false;
    // Only the owner's write permission has a counterpart here: the read-only flag.
    DWORD attributes = info.dwFileAttributes & kSettableAttributes;
    if (permissions & 0200)
        attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    else
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (attributes == (info.dwFileAttributes & kSettableAttributes))
        return true;
    FILE_BASIC_INFO basic{}; // zero times leave the times as they are
    basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(entry.get(), FileBasicInfo, &basic, sizeof basic) != 0;
}

OwnerWriteAccess::OwnerWriteAccess(const std::string& folder) : fFolder(folder) {
    if (fFolder.empty())
        return;
    const DWORD attributes = GetFileAttributesW(Widen(fFolder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(attributes & FILE_ATTRIBUTE_READONLY))
        return;
    fMode = attributes;
    fGranted = SetFileAttributesW(Widen(fFolder).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
}

OwnerWriteAccess::~OwnerWriteAccess() {
    if (fGranted)
        SetFileAttributesW(Widen(fFolder).c_str(), fMode);
}

bool MakeFolders(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 1 && IsSeparator(folder.back()))
        folder.pop_back();
    // "C:" alone names the current folder of that drive, not its root.
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';
    const std::wstring wide = LongPath(folder);
    if (wide.empty())
        return false;
    if (CreateDirectoryW(wide.c_str(), nullptr))
        return true;
    // Roots and shares refuse creation with various errors; they count when they exist.
    if (GetLastError() != ERROR_PATH_NOT_FOUND)
        return IsFolder(wide);
    // A parent is missing: make the parents first, then this folder.
    const std::size_t slash = folder.find_last_of("\\/");
    if (slash == std::string::npos || slash == 0 || slash + 1 >= folder.size() || !MakeFolders(folder.substr(0, slash)))
        return false;
    return CreateDirectoryW(wide.c_str(), nullptr) != 0 || IsFolder(wide);
}

bool MakeFoldersBelow(const std::string& root, const std::string& below, HeldFolder* held) {
    std::string folder = root;
    if (!folder.empty() && !IsSeparator(folder.back()))
        folder += '\\';
    const bool made = MakeFolders(root) && StepThroughNamesBelow(below, "\\/", [&](const std::string& name) {
        folder += name;
        const std::wstring wide = LongPath(folder);
        if (wide.empty())
            return false;
        // A link or junction in the way is refused, never entered.
        if (!CreateDirectoryW(wide.c_str(), nullptr) && !FactsOf(wide).isFolder())
            return false;
        folder += '\\';
        return true;
    });
    if (held) {
        if (made)
            *held = HeldFolder(folder);
        else
            held->Reset(HeldFolder::kNoHandle, folder, ListErrorText(static_cast<int>(GetLastError())));
    }
    return made && (!held || held->ok());
}

bool RemoveFile(const std::string& path) {
    const std::wstring wide = LongPath(path);
    const TEntryFacts facts = FactsOf(wide);
    if (!facts.exists())
        return IsMissingError(GetLastError());
    if (facts.isFolder())
        return false;
    if (RemoveEntryItself(wide, facts.attributes))
        return true;
    if (facts.attributes & FILE_ATTRIBUTE_READONLY)
        WriteAttributes(wide, facts.attributes, false);
    return false;
}

bool RemoveTree(const std::string& path) {
    const std::wstring wide = LongPath(path);
    const TEntryFacts facts = FactsOf(wide);
    if (!facts.exists())
        return IsMissingError(GetLastError());
    if (!facts.isFolder())
        return RemoveEntryItself(wide, facts.attributes);
    MakeWritable(wide, facts.attributes);
    RemoveContent(wide);
    return RemoveDirectoryW(wide.c_str()) != 0 || GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool ReadSymLink(const std::string& path, std::string& target) {
    const THandle entry(OpenEntry(LongPath(path), FILE_READ_ATTRIBUTES, false));
    if (!entry.ok())
        return false;
    std::vector<unsigned char> buffer(kMaxReparseDataSize);
    DWORD got = 0;
    if (!DeviceIoControl(entry.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                         static_cast<DWORD>(buffer.size()), &got, nullptr))
        return false;
    std::wstring wideTarget;
    if (!ParseLinkTarget(buffer.data(), got, wideTarget))
        return false;
    target = Narrow(wideTarget);
    return true;
}

bool MakeSymLink(const std::string& target, const std::string& path) {
    const std::wstring link = LongPath(path);
    const std::wstring to = Widen(target); // the link keeps its target text as written
    if (link.empty() || to.empty())
        return false;
    const DWORD kind = TargetIsFolder(target, path) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    // Without administrator rights this works in developer mode.
    if (CreateSymbolicLinkW(link.c_str(), to.c_str(), kind | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        return true;
    // Systems before Windows 10 1703 reject the flag itself.
    if (GetLastError() != ERROR_INVALID_PARAMETER)
        return false;
    return CreateSymbolicLinkW(link.c_str(), to.c_str(), kind) != 0;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
    const std::wstring source = LongPath(from);
    const std::wstring target = LongPath(to);
    constexpr DWORD kFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (MoveFileExW(source.c_str(), target.c_str(), kFlags))
        return true;
    if (GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    // A read-only file in the way is replaced here, as it would be elsewhere.
    const TEntryFacts facts = FactsOf(target);
    if (!facts.exists() || (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(facts.attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    MakeWritable(target, facts.attributes);
    if (MoveFileExW(source.c_str(), target.c_str(), kFlags))
        return true;
    WriteAttributes(target, facts.attributes, false);
    return false;
}

bool CreateUniqueFile(const std::string& folder, const std::string& prefix, std::string& path) {
    const THandle file(OpenUniqueFile(folder, prefix, path));
    return file.ok();
}

HeldFolder::HeldFolder(const std::string& path) {
    // Without FILE_SHARE_DELETE nobody renames or removes the folder while it is held.
    const HANDLE folder = CreateFileW(LongPath(path).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    std::string reason;
    if (folder == INVALID_HANDLE_VALUE)
        reason = ListErrorText(static_cast<int>(GetLastError()));
    std::string held = path;
    if (!held.empty() && !IsSeparator(held.back()))
        held += '\\';
    Reset(folder == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<std::intptr_t>(folder), std::move(held),
          std::move(reason));
}

void HeldFolder::Reset(std::intptr_t handle, std::string path, std::string errorText) {
    if (fHandle != kNoHandle && fHandle != handle)
        CloseHandle(reinterpret_cast<HANDLE>(fHandle));
    fHandle = handle;
    fPath = std::move(path);
    fErrorText = std::move(errorText);
}

namespace {

std::string LastReason() { return ListErrorText(static_cast<int>(GetLastError())); }

// Copies from in (whose information before is given) into out and gives out
// the source's times and read-only flag.
CopyResult FillNewFile(HANDLE in, const BY_HANDLE_FILE_INFORMATION& before, HANDLE out, const CopyRequest& request,
                       CopyReport& report) {
    CopyResult result = CopyBlocks(in, out, SizeOf(before), request.blockSize, request.progress);
    if (result != CopyResult::Ok) {
        if (result != CopyResult::Stopped)
            report.errorText = LastReason();
        return result;
    }
    BY_HANDLE_FILE_INFORMATION after;
    if (!GetFileInformationByHandle(in, &after)) {
        report.errorText = LastReason();
        return CopyResult::SourceFailed;
    }
    if (SizeOf(after) != SizeOf(before) || TicksOf(after.ftLastWriteTime) != TicksOf(before.ftLastWriteTime))
        return CopyResult::SourceChanged;
    // Times and the read-only flag go on last: a later write would change them again.
    BY_HANDLE_FILE_INFORMATION written;
    FILE_BASIC_INFO basic{};
    basic.LastAccessTime.QuadPart = TicksOf(before.ftLastAccessTime);
    basic.LastWriteTime.QuadPart = TicksOf(before.ftLastWriteTime);
    if (!GetFileInformationByHandle(out, &written)) {
        report.errorText = LastReason();
        return CopyResult::TargetFailed;
    }
    DWORD attributes = written.dwFileAttributes & kSettableAttributes;
    if (before.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        attributes |= FILE_ATTRIBUTE_READONLY;
    basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(out, FileBasicInfo, &basic, sizeof basic)) {
        report.errorText = LastReason();
        return CopyResult::TargetFailed;
    }
    report.device = written.dwVolumeSerialNumber;
    report.inode = (static_cast<std::uint64_t>(written.nFileIndexHigh) << 32) | written.nFileIndexLow;
    return CopyResult::Ok;
}

} // namespace

CopyReport CopyIntoFolder(const std::string& source, const HeldFolder& folder, const std::string& name,
                          const CopyRequest& request) {
    CopyReport report;
    if (!folder.ok())
        return report.Fail(CopyResult::TargetFailed, folder.errorText());
    const std::wstring wideSource = LongPath(source);
    THandle in(OpenSource(wideSource, false));
    if (!in.ok())
        return report.Fail(CopyResult::SourceFailed, LastReason());
    BY_HANDLE_FILE_INFORMATION before;
    if (!GetFileInformationByHandle(in.get(), &before))
        return report.Fail(CopyResult::SourceFailed, LastReason());
    if (before.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (IsLinkTag(ReparseTagOf(in.get())))
            return report.Fail(CopyResult::SourceChanged, "no longer a regular file");
        // Deduplicated and cloud files give their data only to a normal open.
        in.reset(OpenSource(wideSource, true));
        if (!in.ok() || !GetFileInformationByHandle(in.get(), &before))
            return report.Fail(CopyResult::SourceFailed, LastReason());
    }
    if ((before.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || GetFileType(in.get()) != FILE_TYPE_DISK)
        return report.Fail(CopyResult::SourceChanged, "no longer a regular file");
    std::string tempPath;
    THandle out(OpenUniqueFile(folder.path(), request.prefix, tempPath));
    if (!out.ok())
        return report.Fail(CopyResult::TargetFailed, LastReason());
    report.result = FillNewFile(in.get(), before, out.get(), request, report);
    if (report.result == CopyResult::Ok && !out.close())
        report.Fail(CopyResult::TargetFailed, LastReason());
    // Renaming a file over a folder fails, so a folder in the way is never replaced.
    if (report.result == CopyResult::Ok && !RenameReplacing(tempPath, folder.path() + name))
        report.Fail(CopyResult::TargetFailed, LastReason());
    if (report.result != CopyResult::Ok) {
        out.close();
        RemoveFile(tempPath);
    }
    return report;
}

} // namespace os
