#pragma once

// Which files and folders an archive takes, chosen by file masks and
// exclusion masks, and the names they are stored under.

#include "archive/file_io.h"
#include "archive/zip_writer_types.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace archive {

// Case-insensitive file-mask match: "*" stands for any run of characters,
// "?" for one character; "*.*" matches every name, with or without a dot.
bool MatchesMask(std::string_view mask, std::string_view text);

bool IsAbsolutePath(std::string_view path);
bool HasWildcards(std::string_view mask);

// The stored name of path: relative to baseDir when inside it, otherwise the
// full path without its root; "/" separators, folders end with "/".
std::string StoredNameOf(const std::string& path, const std::string& baseDir, bool isFolder, TZWStorePath storePath);

struct EncodedName {
    std::string bytes;
    bool utf8Flag = false;
};
// ASCII names are stored as they are; other valid UTF-8 names carry the UTF-8
// flag; anything else is stored as raw bytes without it.
EncodedName EncodeStoredName(const std::string& name);

struct SelectedItem {
    std::string path;
    std::string storedName;
    bool isFolder = false;
    FileFacts facts;
    // Set for an item that is selected but cannot be archived (a link back
    // to a folder it is in); the archive leaves it out and reports this.
    std::string leftOutCause;
};

struct SelectionRules {
    std::string baseDir;
    std::vector<std::string> fileMasks;
    std::vector<std::string> exclusionMasks;
    // The archive being written, never added itself (nor its temporary files).
    std::string archivePath;
    bool recurse = true;
    TZWStorePath storePath = TZWStorePath::spRelativePath;
};

// Called for a folder that cannot be listed; returns true to try again.
using FolderFailureHandler = std::function<bool(const std::string& folder, const std::string& error)>;

// Everything the masks select, in the order the masks and the folders give,
// each path once. A link to a folder is entered like the folder, except when
// it leads back to a folder on the way to it (then it is selected with its
// leftOutCause). stopRequested is polled between folders.
std::vector<SelectedItem> SelectFiles(const SelectionRules& rules, const FolderFailureHandler& onFolderFailure,
                                      const std::function<bool()>& stopRequested);

} // namespace archive
