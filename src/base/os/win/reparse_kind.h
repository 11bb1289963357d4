#pragma once

// How a listed entry with the reparse-point attribute counts: only symbolic
// links and junctions lead elsewhere. Cloud placeholders (OneDrive and the
// like), deduplicated files and other reparse points are the files or
// folders themselves and are backed up as such.

#include <windows.h>

#include "os/dir_listing.h"

namespace os::win {

inline bool IsLinkReparseTag(DWORD tag) { return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT; }

// The kind of a listed entry from its attributes and, for a reparse point,
// its tag (WIN32_FIND_DATAW::dwReserved0).
inline EntryKind ListedKind(DWORD attributes, DWORD reparseTag) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkReparseTag(reparseTag))
        return EntryKind::SymLink;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return EntryKind::Folder;
    return EntryKind::File;
}

} // namespace os::win
