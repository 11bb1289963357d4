#include "archive/zip_records.h"

#include "archive/file_io.h"

#include <algorithm>

namespace archive {

namespace {

constexpr std::uint16_t kVersionDefault = 20;
constexpr std::uint16_t kVersionZip64 = 45;
constexpr std::uint16_t kZip64ExtraId = 0x0001;

void Put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Put64(std::string& out, std::uint64_t v) {
    Put32(out, static_cast<std::uint32_t>(v));
    Put32(out, static_cast<std::uint32_t>(v >> 32));
}

bool Over32(std::uint64_t v) { return v >= kMax32; }

} // namespace

DosDateTime ToDosDateTime(bool known, std::time_t t) {
    std::tm local{};
    if (!known || !ToLocalTime(t, local)) {
        const std::time_t now = std::time(nullptr);
        if (!ToLocalTime(now, local))
            return {0, (1 << 5) | 1};
    }
    int year = local.tm_year + 1900;
    if (year < 1980)
        return {0, (1 << 5) | 1};
    if (year > 2107)
        return {(23 << 11) | (59 << 5) | 29, ((2107 - 1980) << 9) | (12 << 5) | 31};
    DosDateTime dos;
    dos.time = static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (std::min(local.tm_sec, 59) / 2));
    dos.date = static_cast<std::uint16_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    return dos;
}

std::string LocalHeader(const EntryRecord& e) {
    const bool descriptor = (e.flags & kFlagDataDescriptor) != 0;
    std::string out;
    out.reserve(kLocalHeaderFixedSize + e.name.size() + 20);
    Put32(out, 0x04034b50);
    Put16(out, e.zip64Local ? kVersionZip64 : kVersionDefault);
    Put16(out, e.flags);
    Put16(out, e.method);
    Put16(out, e.modified.time);
    Put16(out, e.modified.date);
    Put32(out, descriptor ? 0 : e.crc);
    if (e.zip64Local) {
        Put32(out, kMax32);
        Put32(out, kMax32);
    } else {
        Put32(out, descriptor ? 0 : static_cast<std::uint32_t>(e.compressedSize));
        Put32(out, descriptor ? 0 : static_cast<std::uint32_t>(e.uncompressedSize));
    }
    Put16(out, static_cast<std::uint32_t>(e.name.size()));
    Put16(out, e.zip64Local ? 20 : 0);
    out += e.name;
    if (e.zip64Local) {
        Put16(out, kZip64ExtraId);
        Put16(out, 16);
        Put64(out, descriptor ? 0 : e.uncompressedSize);
        Put64(out, descriptor ? 0 : e.compressedSize);
    }
    return out;
}

std::string DataDescriptor(const EntryRecord& e) {
    std::string out;
    Put32(out, kSpanningSignature);
    Put32(out, e.crc);
    if (e.zip64Local) {
        Put64(out, e.compressedSize);
        Put64(out, e.uncompressedSize);
    } else {
        Put32(out, static_cast<std::uint32_t>(e.compressedSize));
        Put32(out, static_cast<std::uint32_t>(e.uncompressedSize));
    }
    return out;
}

std::string CentralHeader(const EntryRecord& e) {
    const bool bigUncompressed = e.zip64Always || Over32(e.uncompressedSize);
    const bool bigCompressed = e.zip64Always || Over32(e.compressedSize);
    const bool bigOffset = e.zip64Always || Over32(e.localOffset);
    const bool bigDisk = e.diskStart >= kMax16;
    std::string zip64;
    if (bigUncompressed)
        Put64(zip64, e.uncompressedSize);
    if (bigCompressed)
        Put64(zip64, e.compressedSize);
    if (bigOffset)
        Put64(zip64, e.localOffset);
    if (bigDisk)
        Put32(zip64, e.diskStart);
    std::string extra;
    if (!zip64.empty()) {
        Put16(extra, kZip64ExtraId);
        Put16(extra, static_cast<std::uint32_t>(zip64.size()));
        extra += zip64;
    }
    const std::uint16_t version = (!zip64.empty() || e.zip64Local) ? kVersionZip64 : kVersionDefault;

    std::string out;
    out.reserve(kCentralHeaderFixedSize + e.name.size() + extra.size());
    Put32(out, 0x02014b50);
    // Made by: the host that defines the external attributes, same version.
    Put16(out, static_cast<std::uint32_t>(e.hostSystem) << 8 | version);
    Put16(out, version);
    Put16(out, e.flags);
    Put16(out, e.method);
    Put16(out, e.modified.time);
    Put16(out, e.modified.date);
    Put32(out, e.crc);
    Put32(out, bigCompressed ? kMax32 : static_cast<std::uint32_t>(e.compressedSize));
    Put32(out, bigUncompressed ? kMax32 : static_cast<std::uint32_t>(e.uncompressedSize));
    Put16(out, static_cast<std::uint32_t>(e.name.size()));
    Put16(out, static_cast<std::uint32_t>(extra.size()));
    Put16(out, 0); // comment
    Put16(out, bigDisk ? kMax16 : e.diskStart);
    Put16(out, 0); // internal attributes
    Put32(out, e.externalAttributes);
    Put32(out, bigOffset ? kMax32 : static_cast<std::uint32_t>(e.localOffset));
    out += e.name;
    out += extra;
    return out;
}

bool NeedsZip64End(const EndOfArchive& end) {
    return end.thisDisk >= kMax16 || end.centralStartDisk >= kMax16 || end.entriesOnThisDisk >= kMax16 ||
           end.totalEntries >= kMax16 || Over32(end.centralSize) || Over32(end.centralOffset);
}

std::string Zip64EndRecord(const EndOfArchive& end) {
    std::string out;
    Put32(out, 0x06064b50);
    Put64(out, kZip64EndRecordSize - 12);
    Put16(out, kVersionZip64);
    Put16(out, kVersionZip64);
    Put32(out, end.thisDisk);
    Put32(out, end.centralStartDisk);
    Put64(out, end.entriesOnThisDisk);
    Put64(out, end.totalEntries);
    Put64(out, end.centralSize);
    Put64(out, end.centralOffset);
    return out;
}

std::string Zip64Locator(const EndOfArchive& end) {
    std::string out;
    Put32(out, 0x07064b50);
    Put32(out, end.zip64EndDisk);
    Put64(out, end.zip64EndOffset);
    Put32(out, end.thisDisk + 1);
    return out;
}

std::string EndRecord(const EndOfArchive& end) {
    auto clip16 = [](std::uint64_t v) { return static_cast<std::uint32_t>(v >= kMax16 ? kMax16 : v); };
    auto clip32 = [](std::uint64_t v) { return static_cast<std::uint32_t>(v >= kMax32 ? kMax32 : v); };
    std::string out;
    Put32(out, 0x06054b50);
    Put16(out, clip16(end.thisDisk));
    Put16(out, clip16(end.centralStartDisk));
    Put16(out, clip16(end.entriesOnThisDisk));
    Put16(out, clip16(end.totalEntries));
    Put32(out, clip32(end.centralSize));
    Put32(out, clip32(end.centralOffset));
    Put16(out, 0);
    return out;
}

} // namespace archive
