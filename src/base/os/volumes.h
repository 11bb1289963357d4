#pragma once

// Volumes: which mounted volume holds a path, its drive identifier, and
// finding a configured folder again when its disk is mounted elsewhere.
// Paths are UTF-8. None of these functions fails loudly: an unknown volume
// has an empty identifier and an empty mount point.

#include <string>
#include <vector>

namespace os {

struct MountedVolume {
    std::string mountPoint; // "/", "/media/user/USB"; "E:\" on Windows
    std::string device;     // the mounted source as the mount table names it
    std::string id;         // drive identifier ("1A2B:3C4D"), empty when the volume has none
};

// The mounted volumes in mount table order (drive letter order on Windows).
std::vector<MountedVolume> MountedVolumes();

// The mount point of the volume that holds path (absolute; the part of it that
// exists is resolved first, so links lead to their volume); empty otherwise.
std::string MountPointOf(const std::string& path);

// The drive identifier of the volume that holds path; empty when none.
std::string DriveIDOf(const std::string& path);

// The path to use for a configured folder whose volume carries the identifier
// id: the path itself when its own volume has that identifier, otherwise the
// path with its mount-point prefix replaced by the mount point of the first
// mounted volume that has it. Empty when the path is not absolute, id is empty
// or no mounted volume has it.
std::string RebindPathToDrive(const std::string& path, const std::string& id);
// The same over a given list of volumes (the mount table when tests need one).
std::string RebindPathOnVolumes(const std::vector<MountedVolume>& volumes, const std::string& path,
                                const std::string& id);

// True when path is absolute and the root of the volume that holds it is
// mounted and readable.
bool IsDriveReady(const std::string& path);

} // namespace os
