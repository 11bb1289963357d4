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
    // Files of the final names are moved aside first and put back when any
    // rename fails, so a failure keeps the previous archive whole instead of
    // leaving it with some of its segments replaced.
    std::vector<std::pair<std::string, std::string>> asides; // final name, aside name
    std::size_t placed = 0;
    auto rollBack = [&] {
        for (std::size_t j = 0; j < placed; ++j)
            RemoveFileQuietly(names[j]);
        for (std::size_t j = placed; j < fSegments.size(); ++j)
            RemoveFileQuietly(fSegments[j].tempPath);
        std::string ignored;
        for (auto it = asides.rbegin(); it != asides.rend(); ++it)
            RenameReplacing(it->second, it->first, ignored);
        fSegments.clear();
        fCommitted = true;
        Fail(error);
    };
    for (const std::string& name : names) {
        if (!PathExists(name))
            continue;
        if (QueryFile(name).kind == FileKind::Folder) {
            error = "cannot replace '" + name + "': it is a folder";
            rollBack();
        }
        std::string aside;
        for (unsigned n = 0; aside.empty() || PathExists(aside); ++n) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "%08x", n);
            aside = TemporaryPrefix(name) + suffix;
        }
        if (!RenameReplacing(name, aside, error))
            rollBack();
        asides.emplace_back(name, aside);
    }
    // Every segment is complete and on disk before any takes its name; the
    // last segment, which readers open first, is renamed last.
    for (; placed < fSegments.size(); ++placed)
        if (!RenameReplacing(fSegments[placed].tempPath, names[placed], error))
            rollBack();
    for (const auto& [name, aside] : asides)
        RemoveFileQuietly(aside);
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
