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
// True when the whole path exists as folders afterwards.
bool MakeFoldersBelow(const std::string& root, const std::string& below);
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

// Called after each copied block with the bytes copied so far; returning
// false stops the copy.
using CopyProgress = std::function<bool(std::int64_t copied)>;

enum class CopyResult : std::uint8_t { Ok, Stopped, SourceFailed, SourceChanged, TargetFailed };

// Copies the regular file source into a new, uniquely named file in folder
// (ending with the separator) whose name starts with prefix, in blocks of
// blockSize bytes, using the kernel's in-place copy where it can. The new
// file gets the source's last-access and last-write times and permission
// bits. When the source's size or last-write time differ after the copy from
// before it, the result is SourceChanged. On any result but Ok the new file is
// removed again. tempPath receives the new file's path, copied its status
// (with the source's times). The data is not flushed to disk.
CopyResult CopyToNewFile(const std::string& source, const std::string& folder, const std::string& prefix,
                         std::int64_t blockSize, const CopyProgress& progress, std::string& tempPath,
                         PathStatus& copied);

} // namespace os
