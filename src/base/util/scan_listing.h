#pragma once

#include "util/mega_scan.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A folder of a compact listing: where it hangs in the tree and which
// entries the listing found directly inside it.
struct TLumo_ListedFolder {
    std::uint32_t Parent = 0;     // the folder that holds it; the root holds itself
    std::uint32_t SelfEntry = 0;  // the folder's own entry in its parent (unused for the root)
    std::uint32_t FirstEntry = 0; // its content is Entries[FirstEntry, EndEntry)
    std::uint32_t EndEntry = 0;
};

// One entry of a compact listing: 40 bytes, the name in the listing's shared
// name store, the folder by its number.
struct TLumo_ListedEntry {
    static constexpr std::uint8_t kIsFolder = 1;
    static constexpr std::uint8_t kTimesKnown = 2;

    std::int64_t Size = 0;       // bytes as listed; 0 for folders
    std::int64_t ModifiedNs = 0; // last write, nanoseconds since 1970 UTC; 0 when unknown
    std::int64_t CreatedNs = 0;  // birth time where known, else the last write; 0 when unknown
    std::uint32_t Folder = 0;    // the folder that holds it
    std::uint32_t NameOffset = 0;
    std::uint16_t NameLength = 0;
    std::uint16_t Attr = 0;      // kAttr* bits of os/file_attributes.h
    std::uint8_t Flags = 0;
    std::uint8_t Mark = 0;       // free for whoever uses the listing

    bool IsFolder() const { return (Flags & kIsFolder) != 0; }
    bool TimesKnown() const { return (Flags & kTimesKnown) != 0; }
};

// The listing of one folder tree, breadth-first as TLumo_MegaScan walks it,
// held compactly for trees of millions of entries: names as the file system's
// bytes in one store, folders in a table (numbered in the order their entries
// were found, the root being 0), and each folder's content side by side.
class TLumo_ScanListing {
public:
    std::vector<TLumo_ListedFolder> Folders;
    std::vector<TLumo_ListedEntry> Entries;
    std::string Names;
    qint64 FullSize = 0; // total Size of the files (not folders)
    std::vector<TLumo_ScanFailure> Failures;
    QStringList Leftovers; // full paths of the entries named with the scan's LeftoverPrefix

    std::string_view NameOf(const TLumo_ListedEntry& entry) const {
        return std::string_view(Names).substr(entry.NameOffset, entry.NameLength);
    }
    // The folder's path relative to the root as bytes, with a trailing
    // separator; empty for the root.
    std::string FolderPath(std::uint32_t folder) const;
    // The entry's path relative to the root as bytes, without a trailing separator.
    std::string RelativePath(std::uint32_t entry) const;
    // The same as a path text (names that are not UTF-8 keep their bytes escaped).
    QString RelativePathText(std::uint32_t entry) const;
    // The folder number of a folder entry.
    std::uint32_t FolderOfEntry(std::uint32_t entry) const;
    // Releases everything; FullSize is cleared too.
    void Clear();
};
