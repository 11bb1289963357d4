#pragma once

// The few file-system calls the archive writer needs, behind one small
// interface with a POSIX and a Windows implementation. Paths are UTF-8.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace archive {

// The path separator of this platform; Windows also accepts "/".
inline constexpr char kSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

bool IsSeparator(char c);

enum class FileKind { Missing, File, Folder, Other };

// What the writer needs to know about one file or folder. Symbolic links are
// followed: a link to a file reads as that file.
struct FileFacts {
    FileKind kind = FileKind::Missing;
    bool isLink = false;
    std::uint64_t size = 0;
    bool timeKnown = false;
    std::time_t lastWrite = 0;
    // MS-DOS attribute bits (read-only 0x01, hidden 0x02, system 0x04,
    // folder 0x10, archive 0x20).
    std::uint32_t dosAttributes = 0;
    // The POSIX file type and permission bits where the platform has them, else 0.
    std::uint32_t unixMode = 0;
    // Which file or folder this is (device and inode), so that a walk can
    // tell a folder it has already entered; both 0 where unknown.
    std::uint64_t device = 0;
    std::uint64_t fileId = 0;
};

// The "version made by" host of the archives written here (APPNOTE 4.4.2):
// the host whose attribute layout ZipExternalAttributes writes. Readers map
// names and restore attributes by it.
extern const std::uint8_t kZipHostSystem;
// The external attributes of an entry in kZipHostSystem's layout.
std::uint32_t ZipExternalAttributes(const FileFacts& facts, bool isFolder);

// Facts about one path; kind Missing when it cannot be queried.
FileFacts QueryFile(const std::string& path);

struct FolderItem {
    std::string name;
    FileFacts facts;
};

// The entries of a folder without "." and "..", unsorted. Returns false with
// error set when the folder cannot be listed.
bool ListFolder(const std::string& folder, std::vector<FolderItem>& items, std::string& error);

// Local broken-down time of t; false when it cannot be converted.
bool ToLocalTime(std::time_t t, std::tm& out);

// A source file opened for sequential reading. Only regular files (or links
// to them) open; a FIFO or device is refused without blocking.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool Open(const std::string& path, std::string& error, int& nativeError);
    // Reads up to size bytes; returns the count (0 at the end) or -1 on error.
    long long Read(void* buffer, std::size_t size, std::string& error, int& nativeError);
    void Close();
    std::uint64_t Size() const { return fSize; }
    // True when the open file still has the size and last-write time it had
    // when it was opened; false with error set when it changed or cannot be
    // queried. A file rewritten while it was read gives a torn copy.
    bool Unchanged(std::string& error, int& nativeError) const;

private:
    // Unchanged's verdict once the platform has read the file's size and
    // last-write stamp again.
    bool SameAsWhenOpened(std::uint64_t size, std::int64_t lastWriteStamp, std::string& error,
                          int& nativeError) const;

#ifdef _WIN32
    void* fHandle = nullptr;
#else
    int fFd = -1;
#endif
    std::string fPath;
    std::uint64_t fSize = 0;
    std::int64_t fLastWriteStamp = 0; // platform ticks, compared exactly
};

// A file the writer creates and fills; it supports writing at earlier
// positions and truncation so an entry can be patched or taken back.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates a new file whose name is prefix followed by a random part that
    // no existing file has; path receives the name.
    bool CreateUnique(const std::string& prefix, std::string& path, std::string& error);
    // Creates path, which must not exist yet.
    bool CreateNew(const std::string& path, std::string& error);
    // Opens an existing file of ours for writing at its end.
    bool Reopen(const std::string& path, std::string& error);
    bool Append(const void* data, std::size_t size, std::string& error);
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t size, std::string& error);
    bool Truncate(std::uint64_t size, std::string& error);
    // Flushes the content to the disk itself (fsync or its equivalent).
    bool Flush(std::string& error);
    bool Close(std::string& error);
    bool IsOpen() const;

private:
#ifdef _WIN32
    void* fHandle = nullptr;
#else
    int fFd = -1;
#endif
    std::string fPath; // named in error texts
};

// Renames from to to within one folder, replacing to; afterwards the rename
// itself is made durable where the platform needs it.
bool RenameReplacing(const std::string& from, const std::string& to, std::string& error);
// Removes a file; errors are ignored.
void RemoveFileQuietly(const std::string& path);
// Removes a file; false with error set when it cannot (a missing file is no error).
bool RemoveFile(const std::string& path, std::string& error);
// True when something of that name exists (a dangling symbolic link too).
bool PathExists(const std::string& path);

} // namespace archive
