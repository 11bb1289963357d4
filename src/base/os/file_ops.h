#pragma once

// File and folder operations of a synchronization run: status of one path,
// times and permissions, folder creation, deletion, symbolic links,
// and block copying into a temporary file that replaces the target only once
// it is complete. Paths may be of any length: one longer than the system
// takes in a single call is reached through its parent folder, and no folder
// past that length is entered through a symbolic link.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace os {

// Error: the path could not be examined (a name too long, no permission on a
// parent, an I/O error), so its absence is not proven; errorText says why.
enum class PathKind : std::uint8_t { Missing, File, Folder, SymLink, Other, Error };

struct PathStatus {
    PathKind kind = PathKind::Missing;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // nanoseconds since 1970-01-01 UTC
    std::int64_t accessedNs = 0;
    bool readOnly = false;       // the owner may not write
    std::uint32_t permissions = 0; // permission bits (0 where the platform has none)
    std::uint64_t device = 0;    // with inode: identifies the object on its volume
    std::uint64_t inode = 0;
    std::string errorText;       // the system's reason when kind is Error
};

// Status of path itself (a symbolic link is reported as a link, not followed).
// Missing only when path or one of its parents does not exist.
PathStatus StatusOf(const std::string& path);

// Sets last-access and last-write times of path itself (never of a link's target).
bool SetPathTimes(const std::string& path, std::int64_t accessedNs, std::int64_t modifiedNs);
// Gives path the permission bits of another entry (see PathStatus).
bool SetPermissions(const std::string& path, std::uint32_t permissions);

// Gives the owner of a real folder write and search permission while it
// lives, since a read-only folder blocks removing or renaming the entries in
// it (and, for a folder, moving the folder itself elsewhere); the previous
// mode comes back at the end unless Keep was called. A link, a file or a
// folder the owner may already change is left as it is.
class OwnerWriteAccess {
public:
    explicit OwnerWriteAccess(const std::string& folder);
    ~OwnerWriteAccess();
    OwnerWriteAccess(const OwnerWriteAccess&) = delete;
    OwnerWriteAccess& operator=(const OwnerWriteAccess&) = delete;
    // True when the folder's mode was changed (and will be put back).
    bool Granted() const { return fGranted; }
    // The folder went (or moved): nothing is put back.
    void Keep() { fGranted = false; }

private:
    std::string fFolder;
    std::uint32_t fMode = 0;
    bool fGranted = false;
};

// Creates the folder with every missing parent; true when it exists afterwards.
// Links on the way are followed: use it only for a folder the user named.
bool MakeFolders(const std::string& path);
// Makes root (as MakeFolders does) and then each component of below inside it
// (below is relative, its components separated by the separator). A component
// of below that already exists must be a real folder: a symbolic link or a
// file there makes the call fail, so nothing is ever created through a link.
// True when the whole path exists as folders afterwards; held (when given)
// then holds the last folder open (see HeldFolder).
class HeldFolder;
bool MakeFoldersBelow(const std::string& root, const std::string& below, HeldFolder* held = nullptr);
// Removes a file or a symbolic link (never its target).
bool RemoveFile(const std::string& path);
// Removes a folder with everything in it, making read-only entries writable
// first; links inside are removed, never followed. True when it is gone.
bool RemoveTree(const std::string& path);

// The target text of a symbolic link; false when path is not a link.
bool ReadSymLink(const std::string& path, std::string& target);
// Creates a symbolic link at path pointing to target.
bool MakeSymLink(const std::string& target, const std::string& path);

// Renames from over to, replacing a file or link at to.
bool RenameReplacing(const std::string& from, const std::string& to);

// A new, empty, uniquely named file in folder (which ends with the separator)
// whose name starts with prefix; its path goes to path. False when none could
// be created.
bool CreateUniqueFile(const std::string& folder, const std::string& prefix, std::string& path);

// A storage folder held open while files are written into it: temporary
// files are made and renamed relative to it, so a file costs no walk along
// the folder's path, and the folder cannot be swapped for a link between two
// files.
class HeldFolder {
public:
    HeldFolder() = default;
    // Opens the existing folder at path (ending with the separator); see ok().
    explicit HeldFolder(const std::string& path);
    ~HeldFolder() { Reset(kNoHandle, {}, {}); }
    HeldFolder(HeldFolder&& other) noexcept { *this = std::move(other); }
    HeldFolder& operator=(HeldFolder&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.fHandle, kNoHandle), std::move(other.fPath), std::move(other.fErrorText));
        return *this;
    }
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    bool ok() const { return fHandle != kNoHandle; }
    // The folder's path as it was opened, ending with the separator.
    const std::string& path() const { return fPath; }
    // The system's reason when the folder could not be opened.
    const std::string& errorText() const { return fErrorText; }
    // The platform's handle (a descriptor on POSIX systems).
    std::intptr_t handle() const { return fHandle; }

private:
    friend bool MakeFoldersBelow(const std::string& root, const std::string& below, HeldFolder* held);
    static constexpr std::intptr_t kNoHandle = -1;
    // Closes the handle held (when another) and takes the given one.
    void Reset(std::intptr_t handle, std::string path, std::string errorText);

    std::intptr_t fHandle = kNoHandle;
    std::string fPath;
    std::string fErrorText;
};

// Called after each copied block with the bytes copied so far; returning
// false stops the copy.
using CopyProgress = std::function<bool(std::int64_t copied)>;

enum class CopyResult : std::uint8_t { Ok, Stopped, SourceFailed, SourceChanged, TargetFailed };

// What a copy into a held folder asks for besides the names.
struct CopyRequest {
    std::string prefix;           // the temporary file's name begins with it
    std::int64_t blockSize = 1 << 20;
    CopyProgress progress;        // may be empty
};

struct CopyReport {
    CopyResult result = CopyResult::Ok;
    std::string errorText;        // the system's reason unless result is Ok or Stopped
    std::uint64_t device = 0;     // with inode: the copy's identity when result is Ok
    std::uint64_t inode = 0;

    // Marks the copy as ended with failure for reason.
    CopyReport& Fail(CopyResult failure, std::string reason) {
        result = failure;
        errorText = std::move(reason);
        return *this;
    }
};

// Copies the regular file source to name in folder: the content goes, in
// blocks (the kernel's in-place copy where the file systems allow it), into
// a new, uniquely named file there, which gets the source's last-access and
// last-write times and permission bits and then replaces name. The source is
// opened without following a link and without waiting on a pipe. When the
// source's size or last-write time differ after the copy from before it, the
// result is SourceChanged. On any result but Ok the new file is removed again
// and name is left as it was. TargetFailed covers the new file and the
// rename. The data is not flushed to disk.
CopyReport CopyIntoFolder(const std::string& source, const HeldFolder& folder, const std::string& name,
                          const CopyRequest& request);

} // namespace os
