#include "archive/archive_output.h"

#include "archive/set_swap.h"
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
    segment.start = fPosition;
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

void ArchiveOutput::KeepTogether(std::size_t size) {
    if (fInMemory || !IsSplit() || fSegments.empty())
        return;
    const std::size_t index = fSegments.size() - 1;
    const Segment& segment = fSegments.back();
    const std::uint64_t room = Capacity(index) - segment.size;
    // A record larger than a whole segment cannot be kept in one anyway; a
    // full segment is followed by a new one at the next write.
    if (room >= size || room == 0 || segment.size == 0 || size > Capacity(index + 1))
        return;
    FinishCurrentSegment();
    StartSegment();
}

ArchiveOutput::Location ArchiveOutput::Locate(std::uint64_t pos) const {
    if (fInMemory || !IsSplit() || fSegments.empty())
        return {0, pos};
    auto after = std::upper_bound(fSegments.begin(), fSegments.end(), pos,
                                  [](std::uint64_t p, const Segment& s) { return p < s.start; });
    std::size_t index = static_cast<std::size_t>(after - fSegments.begin()) - 1;
    std::uint64_t offset = pos - fSegments[index].start;
    if (offset >= Capacity(index)) {
        // The end of a full segment: the next byte goes into the next one.
        offset -= Capacity(index);
        ++index;
    }
    return {index, offset};
}

std::uint32_t ArchiveOutput::DiskOf(std::uint64_t pos) const { return static_cast<std::uint32_t>(Locate(pos).segment); }

std::uint64_t ArchiveOutput::OffsetInDisk(std::uint64_t pos) const { return Locate(pos).offset; }

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
        const Location at = Locate(pos);
        const Segment& segment = fSegments.at(at.segment);
        const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(segment.size - at.offset, size));
        if (at.segment + 1 == fSegments.size()) {
            if (!fCurrent.WriteAt(at.offset, in, part, error))
                Fail(error + " (" + segment.tempPath + ")");
        } else {
            // An earlier segment is already flushed and closed: reopen it briefly.
            OutputFile earlier;
            if (!earlier.Reopen(segment.tempPath, error) || !earlier.WriteAt(at.offset, in, part, error) ||
                !earlier.Flush(error) || !earlier.Close(error))
                Fail(error + " (" + segment.tempPath + ")");
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
    Location at = Locate(pos);
    if (at.segment == fSegments.size()) {
        // pos is the end of a full segment: keep that one whole.
        --at.segment;
        at.offset = fSegments[at.segment].size;
    }
    std::string error;
    if (at.segment + 1 < fSegments.size()) {
        fCurrent.Close(error);
        while (fSegments.size() > at.segment + 1) {
            RemoveFileQuietly(fSegments.back().tempPath);
            fSegments.pop_back();
        }
        if (!fCurrent.Reopen(fSegments.back().tempPath, error))
            Fail(error);
    }
    if (!fCurrent.Truncate(at.offset, error))
        Fail(error + " (" + fSegments.back().tempPath + ")");
    fSegments.back().size = at.offset;
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

std::string ArchiveOutput::SegmentName(std::size_t index) const {
    std::string base = fFinalPath;
    const auto dot = base.find_last_of('.');
    const auto slash = base.find_last_of("/\\");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        base.resize(dot);
    char suffix[32];
    if (fAdvancedNaming)
        std::snprintf(suffix, sizeof suffix, "_%03zu", index);
    else
        std::snprintf(suffix, sizeof suffix, ".z%02zu", index);
    return base + suffix;
}

std::vector<std::string> ArchiveOutput::FinalNames() const {
    std::vector<std::string> names;
    const std::size_t count = fInMemory ? 1 : fSegments.size();
    for (std::size_t i = 1; i < count; ++i)
        names.push_back(SegmentName(i));
    names.push_back(fFinalPath);
    return names;
}

void ArchiveOutput::Commit() {
    if (fInMemory)
        MoveToFile();
    FinishCurrentSegment();
    const std::vector<std::string> names = FinalNames();
    std::string error;
    auto failKeepingThePrevious = [this, &error] {
        // A swap that could not be undone keeps its files for the next run,
        // which finishes it as its journal says.
        if (PathExists(SwapJournalPath(fFinalPath)))
            fSegments.clear();
        Discard();
        fCommitted = true;
        Fail(error);
    };
    if (names.size() == 1) {
        // One file: the rename replaces the previous archive in one step.
        const FileFacts existing = QueryFile(fFinalPath);
        if (existing.kind == FileKind::Folder && !existing.isLink) {
            error = "cannot replace '" + fFinalPath + "': it is a folder";
            failKeepingThePrevious();
        }
        if (!RenameReplacing(fSegments.front().tempPath, fFinalPath, error))
            failKeepingThePrevious();
    } else {
        // Segments only work together: the previous set, with any segments
        // beyond the new count, is swapped out as a whole, so that a failure
        // or a kill leaves either the previous or the new archive whole.
        std::vector<std::string> temporary;
        for (const Segment& segment : fSegments)
            temporary.push_back(segment.tempPath);
        std::vector<std::string> previous;
        for (std::size_t i = names.size(); PathExists(SegmentName(i)); ++i)
            previous.push_back(SegmentName(i));
        if (!ReplaceFileSet(temporary, names, previous, error, fBeforeSwapStep))
            failKeepingThePrevious();
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
