#include "archive/archive_output.h"

#include "archive/zip_writer_types.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace archive {

ArchiveOutput::ArchiveOutput(std::string finalPath, std::uint64_t firstSize, std::uint64_t nextSize,
                             bool advancedNaming)
    : fFinalPath(std::move(finalPath)), fFirstSize(firstSize), fNextSize(nextSize), fAdvancedNaming(advancedNaming) {
    StartSegment();
}

ArchiveOutput::ArchiveOutput(std::string finalPath) : fFinalPath(std::move(finalPath)), fInMemory(true) {}

ArchiveOutput::~ArchiveOutput() {
    if (!fCommitted)
        Discard();
}

std::string ArchiveOutput::TemporaryPrefix(const std::string& finalPath) { return finalPath + ".~"; }

void ArchiveOutput::Fail(const std::string& error) { throw EZipWriterError(error); }

void ArchiveOutput::StartSegment() {
    Segment segment;
    std::string error;
    if (!fCurrent.CreateUnique(TemporaryPrefix(fFinalPath), segment.tempPath, error))
        Fail(error);
    fSegments.push_back(std::move(segment));
}

void ArchiveOutput::FinishCurrentSegment() {
    std::string error;
    if (fCurrent.IsOpen() && (!fCurrent.Flush(error) || !fCurrent.Close(error)))
        Fail(error);
}

void ArchiveOutput::Write(const void* data, std::size_t size) {
    if (fInMemory) {
        fMemory.append(static_cast<const char*>(data), size);
        fPosition += size;
        return;
    }
    const auto* in = static_cast<const char*>(data);
    std::string error;
    while (size > 0) {
        Segment* segment = &fSegments.back();
        if (segment->size == Capacity(fSegments.size() - 1)) {
            FinishCurrentSegment();
            StartSegment();
            segment = &fSegments.back();
        }
        const std::uint64_t room = Capacity(fSegments.size() - 1) - segment->size;
        const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(room, size));
        if (!fCurrent.Append(in, part, error))
            Fail(error + " (" + segment->tempPath + ")");
        segment->size += part;
        fPosition += part;
        in += part;
        size -= part;
    }
}

std::uint32_t ArchiveOutput::DiskOf(std::uint64_t pos) const {
    if (fNextSize == kUnlimited || pos < fFirstSize)
        return 0;
    return static_cast<std::uint32_t>(1 + (pos - fFirstSize) / fNextSize);
}

std::uint64_t ArchiveOutput::OffsetInDisk(std::uint64_t pos) const {
    if (fNextSize == kUnlimited || pos < fFirstSize)
        return pos;
    return (pos - fFirstSize) % fNextSize;
}

std::uint64_t ArchiveOutput::RoomInDisk(std::uint64_t pos) const {
    if (fNextSize == kUnlimited)
        return kUnlimited;
    return Capacity(DiskOf(pos)) - OffsetInDisk(pos);
}

void ArchiveOutput::Patch(std::uint64_t pos, const void* data, std::size_t size) {
    if (pos + size > fPosition)
        Fail("internal error: patch beyond the end of the archive");
    if (fInMemory) {
        std::memcpy(fMemory.data() + pos, data, size);
        return;
    }
    const auto* in = static_cast<const char*>(data);
    std::string error;
    while (size > 0) {
        const std::uint32_t disk = DiskOf(pos);
        const std::uint64_t offset = OffsetInDisk(pos);
        const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(Capacity(disk) - offset, size));
        if (disk + 1 == fSegments.size()) {
            if (!fCurrent.WriteAt(offset, in, part, error))
                Fail(error);
        } else {
            // An earlier segment is already flushed and closed: reopen it briefly.
            OutputFile earlier;
            if (!earlier.Reopen(fSegments[disk].tempPath, error) || !earlier.WriteAt(offset, in, part, error) ||
                !earlier.Flush(error) || !earlier.Close(error))
                Fail(error);
        }
        pos += part;
        in += part;
        size -= part;
    }
}

void ArchiveOutput::Truncate(std::uint64_t pos) {
    if (pos >= fPosition)
        return;
    fPosition = pos;
    if (fInMemory) {
        fMemory.resize(pos);
        return;
    }
    std::size_t keep = DiskOf(pos);
    std::uint64_t offset = OffsetInDisk(pos);
    if (keep > 0 && offset == 0) {
        // pos is the end of a full segment: keep that one whole.
        --keep;
        offset = Capacity(keep);
    }
    std::string error;
    if (keep + 1 < fSegments.size()) {
        fCurrent.Close(error);
        while (fSegments.size() > keep + 1) {
            RemoveFileQuietly(fSegments.back().tempPath);
            fSegments.pop_back();
        }
        if (!fCurrent.Reopen(fSegments.back().tempPath, error))
            Fail(error);
    }
    if (!fCurrent.Truncate(offset, error))
        Fail(error);
    fSegments.back().size = offset;
}

void ArchiveOutput::MoveToFile() {
    if (!fInMemory)
        return;
    fInMemory = false;
    fFirstSize = fNextSize = kUnlimited;
    StartSegment();
    std::string error;
    if (!fCurrent.Append(fMemory.data(), fMemory.size(), error))
        Fail(error);
    fSegments.back().size = fMemory.size();
    std::string().swap(fMemory);
}

std::vector<std::string> ArchiveOutput::FinalNames() const {
    std::vector<std::string> names;
    const std::size_t count = fInMemory ? 1 : fSegments.size();
    std::string base = fFinalPath;
    const auto dot = base.find_last_of('.');
    const auto slash = base.find_last_of("/\\");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        base.resize(dot);
    for (std::size_t i = 1; i < count; ++i) {
        char suffix[32];
        if (fAdvancedNaming)
            std::snprintf(suffix, sizeof suffix, "_%03zu", i);
        else
            std::snprintf(suffix, sizeof suffix, ".z%02zu", i);
        names.push_back(base + suffix);
    }
    names.push_back(fFinalPath);
    return names;
}

void ArchiveOutput::Commit() {
    if (fInMemory)
        MoveToFile();
    FinishCurrentSegment();
    const std::vector<std::string> names = FinalNames();
    std::string error;
    // Every segment is complete and on disk before any takes its name; the
    // last segment, which readers open first, is renamed last.
    for (std::size_t i = 0; i < fSegments.size(); ++i) {
        if (!RenameReplacing(fSegments[i].tempPath, names[i], error)) {
            for (std::size_t j = i; j < fSegments.size(); ++j)
                RemoveFileQuietly(fSegments[j].tempPath);
            fSegments.clear();
            fCommitted = true;
            Fail(error);
        }
    }
    fSegments.clear();
    fCommitted = true;
}

void ArchiveOutput::Discard() {
    std::string error;
    fCurrent.Close(error);
    for (const Segment& segment : fSegments)
        RemoveFileQuietly(segment.tempPath);
    fSegments.clear();
    std::string().swap(fMemory);
    fPosition = 0;
}

} // namespace archive
