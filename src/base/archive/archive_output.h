#pragma once

// Where the bytes of an archive go: memory, one file, or a row of segments
// of at most a fixed size. A segment ends early where a record kept together
// would not fit in it, so readers never find a header cut in two. Files are written under temporary names beside the target
// and only take their final names, after being flushed to disk, in Commit.
// Until then no existing file of those names is touched; destroying an
// output that was not committed removes its temporary files.

#include "archive/file_io.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace archive {

class ArchiveOutput {
public:
    static constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

    // Segments: the first holds firstSize bytes, every later one nextSize
    // bytes; both kUnlimited for a single file. The last segment is named
    // finalPath, the others after it (name.z01, ... or name_001, ...).
    // Throws EZipWriterError when the first temporary file cannot be created.
    ArchiveOutput(std::string finalPath, std::uint64_t firstSize, std::uint64_t nextSize, bool advancedNaming);
    // An archive assembled in memory until MoveToFile or Commit.
    explicit ArchiveOutput(std::string finalPath);
    ~ArchiveOutput();
    ArchiveOutput(const ArchiveOutput&) = delete;
    ArchiveOutput& operator=(const ArchiveOutput&) = delete;

    void Write(const void* data, std::size_t size);
    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
    // Ends the segment in progress early when the next size bytes (a header
    // or the end records) would not fit in what is left of it, so that they
    // go into the next segment whole. Call it before taking Position() for
    // the record.
    void KeepTogether(std::size_t size);
    // Bytes written so far over all segments.
    std::uint64_t Position() const { return fPosition; }
    // Segment that holds the byte at pos, and pos relative to its start.
    std::uint32_t DiskOf(std::uint64_t pos) const;
    std::uint64_t OffsetInDisk(std::uint64_t pos) const;
    bool IsSplit() const { return fNextSize != kUnlimited; }

    // Overwrites bytes written before.
    void Patch(std::uint64_t pos, const void* data, std::size_t size);
    void Patch(std::uint64_t pos, const std::string& bytes) { Patch(pos, bytes.data(), bytes.size()); }
    // Takes back everything from pos on.
    void Truncate(std::uint64_t pos);

    bool IsInMemory() const { return fInMemory; }
    // Writes what is in memory to a temporary file and goes on there.
    void MoveToFile();
    // Flushes every segment to disk and gives them their final names. The
    // segments replace the previous set of that name as a whole (see
    // set_swap.h); a failure keeps the previous archive.
    void Commit();
    // Called before every rename and removal of Commit's swap; tests stop the writer there.
    void SetBeforeSwapStep(std::function<void()> hook) { fBeforeSwapStep = std::move(hook); }
    // Removes the temporary files; nothing keeps its final name.
    void Discard();

    // Names of the segments in order, the last being finalPath.
    std::vector<std::string> FinalNames() const;
    // Prefix of every temporary file of this output.
    static std::string TemporaryPrefix(const std::string& finalPath);

private:
    struct Segment {
        std::string tempPath;
        std::uint64_t start = 0; // archive position of its first byte
        std::uint64_t size = 0;
    };
    struct Location {
        std::size_t segment = 0; // fSegments.size() when pos ends a full last segment
        std::uint64_t offset = 0;
    };

    std::uint64_t Capacity(std::size_t index) const { return index == 0 ? fFirstSize : fNextSize; }
    Location Locate(std::uint64_t pos) const;
    // The name of segment index (1, 2, ...) other than the last.
    std::string SegmentName(std::size_t index) const;
    void StartSegment();
    void FinishCurrentSegment();
    void Fail(const std::string& error);

    std::string fFinalPath;
    std::uint64_t fFirstSize = kUnlimited;
    std::uint64_t fNextSize = kUnlimited;
    bool fAdvancedNaming = false;
    bool fInMemory = false;
    bool fCommitted = false;
    std::string fMemory;
    std::vector<Segment> fSegments;
    OutputFile fCurrent; // open on the last segment
    std::uint64_t fPosition = 0;
    std::function<void()> fBeforeSwapStep;
};

} // namespace archive
