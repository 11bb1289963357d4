#include "os/volumes.h"

#include "os/volume_text.h"

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

std::string ReadTextFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsEmptyFolder(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return false;
    bool empty = true;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    ::closedir(dir);
    return empty;
}

// The file system UUIDs, keyed by the device node their udev link points to.
std::map<std::string, std::string> UuidsByDevice() {
    std::map<std::string, std::string> uuids;
    const std::string folder = "/dev/disk/by-uuid/";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return uuids;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string device = RealPath(folder + name);
        if (!device.empty())
            uuids.emplace(device, name);
    }
    ::closedir(dir);
    return uuids;
}

// An absolute path split into the part that exists, resolved (links and
// "..": the real location), and the missing rest ("" or "/a/b").
struct ResolvedPath {
    std::string existing;
    std::string rest;
    std::string Full() const { return existing == "/" ? (rest.empty() ? existing : rest) : existing + rest; }
};

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

ResolvedPath Resolve(const std::string& absolutePath) {
    std::string current = WithoutTrailingSeparators(absolutePath);
    std::string rest;
    for (;;) {
        std::string real = RealPath(current);
        if (!real.empty() || current == "/")
            return {real.empty() ? std::string("/") : real, rest};
        const std::size_t slash = current.rfind('/');
        rest = current.substr(slash) + rest;
        current = slash == 0 ? std::string("/") : current.substr(0, slash);
    }
}

bool IsUnder(const std::string& path, const std::string& folder) {
    if (folder == "/")
        return true;
    return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

// The volume whose mount point is the longest prefix of path; of two volumes
// mounted at the same point the later one, which hides the other.
const MountedVolume* HoldingVolume(const std::vector<MountedVolume>& volumes, const std::string& path) {
    const MountedVolume* best = nullptr;
    for (const MountedVolume& volume : volumes)
        if (IsUnder(path, volume.mountPoint) && (!best || volume.mountPoint.size() >= best->mountPoint.size()))
            best = &volume;
    return best;
}

// The rest of path below prefix, starting with "/" (empty when they are equal).
std::string RestBelow(const std::string& path, const std::string& prefix) {
    return prefix == "/" ? (path == "/" ? std::string() : path) : path.substr(prefix.size());
}

std::string JoinBelow(const std::string& mountPoint, const std::string& rest) {
    if (mountPoint == "/")
        return rest.empty() ? mountPoint : rest;
    return mountPoint + rest;
}

// Where the path's own volume was mounted. When its disk is present that is
// the holding mount point. When it is gone, the mount point is guessed: the
// deepest ancestor whose remainder exists on the target volume, else the
// folder left behind by the unmount (a mount point or an empty folder), else
// the missing folder right below the deepest existing one, which is where
// desktop automounters create their mount points.
std::string OldMountPrefix(const ResolvedPath& resolved, const std::string& full, const std::string& holdingMount,
                           const std::string& targetMount) {
    if (resolved.rest.empty())
        return holdingMount;
    std::string candidate = holdingMount;
    while (candidate.size() < full.size()) {
        if (Exists(JoinBelow(targetMount, RestBelow(full, candidate))))
            return candidate;
        const std::size_t next = full.find('/', candidate == "/" ? 1 : candidate.size() + 1);
        if (next == std::string::npos)
            break;
        candidate = full.substr(0, next);
    }
    if (resolved.existing == holdingMount || IsEmptyFolder(resolved.existing))
        return resolved.existing;
    const std::size_t end = resolved.rest.find('/', 1);
    return JoinBelow(resolved.existing, end == std::string::npos ? resolved.rest : resolved.rest.substr(0, end));
}

} // namespace

std::vector<MountedVolume> MountedVolumes() {
    const std::map<std::string, std::string> uuids = UuidsByDevice();
    std::vector<MountedVolume> volumes;
    for (const MountInfoEntry& mount : ParseMountInfo(ReadTextFile("/proc/self/mountinfo"))) {
        MountedVolume volume{mount.mountPoint, mount.source, {}};
        if (!uuids.empty() && !mount.source.empty() && mount.source.front() == '/') {
            const auto found = uuids.find(RealPath(mount.source));
            if (found != uuids.end())
                volume.id = VolumeIdFromUuid(found->second);
        }
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

std::string MountPointOf(const std::string& path) {
    if (path.empty() || path.front() != '/')
        return {};
    const std::vector<MountedVolume> volumes = MountedVolumes();
    const MountedVolume* volume = HoldingVolume(volumes, Resolve(path).Full());
    return volume ? volume->mountPoint : std::string();
}

std::string DriveIDOf(const std::string& path) {
    if (path.empty() || path.front() != '/')
        return {};
    const std::vector<MountedVolume> volumes = MountedVolumes();
    const MountedVolume* volume = HoldingVolume(volumes, Resolve(path).Full());
    return volume ? volume->id : std::string();
}

std::string RebindPathOnVolumes(const std::vector<MountedVolume>& volumes, const std::string& path,
                                const std::string& id) {
    if (id.empty() || path.empty() || path.front() != '/')
        return {};
    const ResolvedPath resolved = Resolve(path);
    const std::string full = resolved.Full();
    const MountedVolume* holding = HoldingVolume(volumes, full);
    if (holding && holding->id == id)
        return path;
    const MountedVolume* target = nullptr;
    for (const MountedVolume& volume : volumes)
        if (volume.id == id) {
            target = &volume;
            break;
        }
    if (!target)
        return {};
    const std::string prefix = OldMountPrefix(resolved, full, holding ? holding->mountPoint : "/", target->mountPoint);
    std::string rebound = JoinBelow(target->mountPoint, RestBelow(full, prefix));
    if (path.back() == '/' && rebound.back() != '/')
        rebound += '/';
    return rebound;
}

std::string RebindPathToDrive(const std::string& path, const std::string& id) {
    return RebindPathOnVolumes(MountedVolumes(), path, id);
}

bool IsDriveReady(const std::string& path) {
    const std::string mountPoint = MountPointOf(path);
    if (mountPoint.empty())
        return false;
    DIR* root = ::opendir(mountPoint.c_str());
    if (!root)
        return false;
    ::closedir(root);
    return true;
}

} // namespace os
