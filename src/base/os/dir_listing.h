#pragma once

// Fast folder listing for the directory scanner: one pass over a folder that
// reports each entry with its kind, size, times and attributes, without
// following symbolic links.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace os {

enum class EntryKind : std::uint8_t { File, Folder, SymLink, Other };

struct DirEntry {
    std::string_view name;         // the entry's own name (UTF-8), valid during the callback only
    EntryKind kind = EntryKind::Other;
    std::int64_t size = 0;         // bytes; 0 for folders
    std::int64_t modifiedNs = 0;   // last write, nanoseconds since 1970-01-01 UTC
    std::int64_t createdNs = 0;    // birth time where the file system keeps one, else the last write
    std::uint32_t mode = 0;        // permission bits (0 where the platform has none)
    std::uint32_t attributes = 0;  // kAttr* bits of file_attributes.h
    bool timesKnown = false;       // false when the entry vanished before its details could be read
};

// Called once per entry ("." and ".." excluded) in the order the file system
// returns them; returning false stops the listing.
using DirEntryVisitor = std::function<bool(const DirEntry& entry)>;

// Lists the folder (with or without a trailing separator); a folder whose path
// is too long for one system call is still reached. Returns 0 when every entry
// was seen (or visit stopped the listing), otherwise the system error number:
// the folder could not be opened, reading it failed part way, or the details
// of an entry that still exists could not be read. Such entries are reported
// anyway, with what the listing itself knows and timesKnown false.
int ListFolder(const std::string& folder, const DirEntryVisitor& visit);

// The system's text for an error number returned by ListFolder.
std::string ListErrorText(int error);

// Size of the regular file at path, following symbolic links; 0 when there is
// no such file or it is not a regular file.
std::int64_t RegularFileSize(const std::string& path);

} // namespace os
