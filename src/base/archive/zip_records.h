#pragma once

// The binary records of a ZIP archive as the APPNOTE lays them out: local
// headers, data descriptors, central directory headers and the end records.

#include <cstdint>
#include <ctime>
#include <string>

namespace archive {

inline constexpr std::uint32_t kMax32 = 0xFFFFFFFFu;
inline constexpr std::uint16_t kMax16 = 0xFFFFu;
inline constexpr std::uint32_t kSpanningSignature = 0x08074b50u;
// Marks an archive that was started as a split archive but fits in one segment.
inline constexpr std::uint32_t kSingleSegmentMarker = 0x30304b50u;
inline constexpr std::size_t kLocalHeaderFixedSize = 30;
inline constexpr std::size_t kCentralHeaderFixedSize = 46;
inline constexpr std::size_t kEndRecordSize = 22;
inline constexpr std::size_t kZip64EndRecordSize = 56;
inline constexpr std::size_t kZip64LocatorSize = 20;

inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr std::uint16_t kFlagUtf8 = 0x0800;
inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;

struct DosDateTime {
    std::uint16_t time = 0;
    std::uint16_t date = 0;
};

// The MS-DOS form of t in local time (the current time when !known), kept
// within the years the form can hold (1980 to 2107).
DosDateTime ToDosDateTime(bool known, std::time_t t);

// One entry as its headers describe it.
struct EntryRecord {
    std::string name; // stored bytes
    std::uint16_t flags = 0;
    std::uint16_t method = kMethodStored;
    DosDateTime modified;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0; // including an encryption header
    std::uint64_t uncompressedSize = 0;
    std::uint32_t diskStart = 0;      // segment that holds the local header
    std::uint64_t localOffset = 0;    // within that segment
    std::uint32_t externalAttributes = 0;
    std::uint8_t hostSystem = 0;      // "version made by" host whose attributes these are
    bool zip64Local = false;          // the local header carries a Zip64 extra field
    bool zip64Always = false;         // every size and offset goes into Zip64 fields
};

// The local header; with a data descriptor CRC and sizes are written as 0.
std::string LocalHeader(const EntryRecord& entry);
std::string DataDescriptor(const EntryRecord& entry);
// The central directory header.
std::string CentralHeader(const EntryRecord& entry);

struct EndOfArchive {
    std::uint32_t thisDisk = 0;
    std::uint32_t centralStartDisk = 0;
    std::uint64_t entriesOnThisDisk = 0;
    std::uint64_t totalEntries = 0;
    std::uint64_t centralSize = 0;
    std::uint64_t centralOffset = 0;  // within centralStartDisk
    std::uint32_t zip64EndDisk = 0;
    std::uint64_t zip64EndOffset = 0; // within zip64EndDisk
};

// True when the values do not fit the classic end record.
bool NeedsZip64End(const EndOfArchive& end);
std::string Zip64EndRecord(const EndOfArchive& end);
std::string Zip64Locator(const EndOfArchive& end);
std::string EndRecord(const EndOfArchive& end);

} // namespace archive
