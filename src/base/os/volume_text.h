#pragma once

// Text forms around volumes: the drive identifier and, on Linux, the mount
// table. Pure functions, the same on every platform.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace os {

// The drive identifier of a 32-bit volume serial: eight upper-case hex digits
// with ":" after the fourth ("00A1:B2C3").
std::string VolumeIdFromSerial(std::uint32_t serial);

// The drive identifier of a file system UUID as the system names it: a FAT or
// exFAT serial ("1A2B-3C4D") and the 64-bit NTFS serial (16 hex digits) give
// the serial Windows shows (for NTFS its low 32 bits); any other UUID gives its
// first eight hex digits. Empty when the text holds fewer than eight hex digits.
std::string VolumeIdFromUuid(std::string_view uuid);

// One line of /proc/<pid>/mountinfo, octal escapes ("\040") decoded.
struct MountInfoEntry {
    std::string mountPoint;
    std::string fsType;
    std::string source;
};

// The mounts of a mountinfo text in its order; malformed lines are skipped.
std::vector<MountInfoEntry> ParseMountInfo(std::string_view text);

} // namespace os
