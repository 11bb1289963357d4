#include "os/volumes.h"

#include "os/volume_text.h"
#include "os/win/wide_text.h"

#include <cctype>

namespace os {

namespace {

// Keeps Windows from asking for a disk while a drive without medium is queried.
class QuietErrorMode {
public:
    QuietErrorMode() : fOld(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietErrorMode() { SetErrorMode(fOld); }

private:
    UINT fOld;
};

bool HasDriveLetter(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

std::string RootOf(char letter) { return std::string(1, static_cast<char>(std::toupper(letter))) + ":\\"; }

std::string IdOfRoot(const std::string& root) {
    const QuietErrorMode quiet;
    DWORD serial = 0;
    if (!GetVolumeInformationW(win::Widen(root).c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
        return {};
    return VolumeIdFromSerial(serial);
}

} // namespace

std::vector<MountedVolume> MountedVolumes() {
    std::vector<MountedVolume> volumes;
    const DWORD letters = GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (letters & (1u << i)) {
            const std::string root = RootOf(static_cast<char>('A' + i));
            volumes.push_back({root, root, IdOfRoot(root)});
        }
    return volumes;
}

std::string MountPointOf(const std::string& path) { return HasDriveLetter(path) ? RootOf(path[0]) : std::string(); }

std::string DriveIDOf(const std::string& path) {
    return HasDriveLetter(path) ? IdOfRoot(RootOf(path[0])) : std::string();
}

std::string RebindPathOnVolumes(const std::vector<MountedVolume>& volumes, const std::string& path,
                                const std::string& id) {
    if (path.size() <= 2 || id.empty())
        return {};
    if (path.rfind("\\\\", 0) == 0)
        return path; // network paths have no drive letter to change
    if (DriveIDOf(path) == id)
        return path;
    for (const MountedVolume& volume : volumes)
        if (volume.id == id)
            return volume.mountPoint.substr(0, 1) + path.substr(1);
    return {};
}

std::string RebindPathToDrive(const std::string& path, const std::string& id) {
    return RebindPathOnVolumes(MountedVolumes(), path, id);
}

bool IsDriveReady(const std::string& path) {
    if (path.rfind("\\", 0) == 0)
        return true;
    if (!HasDriveLetter(path))
        return false;
    const QuietErrorMode quiet;
    ULARGE_INTEGER total;
    return GetDiskFreeSpaceExW(win::Widen(RootOf(path[0])).c_str(), nullptr, &total, nullptr) != 0;
}

} // namespace os
