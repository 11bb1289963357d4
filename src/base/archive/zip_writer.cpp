#include "archive/zip_writer.h"

#include "archive/archive_output.h"
#include "archive/chunk_compressor.h"
#include "archive/file_selection.h"
#include "archive/pkware_cipher.h"
#include "archive/stored_names.h"
#include "archive/zip_records.h"

#include <algorithm>
#include <deque>
#include <thread>
#include <zlib.h>

using namespace archive;

namespace {

constexpr std::uint64_t kMinVolumeSize = 65536;
constexpr std::size_t kDictionarySize = 32768;
// A file this large at the start gets room for Zip64 sizes in its local
// header: its compressed size is only known at the end and may exceed 4 GiB.
constexpr std::uint64_t kZip64LocalThreshold = 0xFFFFFFFFull - 0x4000000ull;
constexpr int kErrorOpen = 1;
constexpr int kErrorRead = 2;
constexpr int kErrorListFolder = 3;
constexpr int kErrorChanged = 4;

std::string WithName(const char* format, const std::string& name) {
    std::string text = format;
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

[[noreturn]] void ThrowZip64Disabled(const std::string& name) {
    throw EZipWriterError(WithName("Cannot compress file '%s'. Zip64 mode is not enabled", name));
}

std::size_t ChunkSizeFor(int mode) {
    if (mode >= 1 && mode <= 3)
        return 524288;
    if (mode >= 7)
        return 1572864;
    return 1048576;
}

// Deflate option bits 1 and 2 as the APPNOTE assigns them to levels.
std::uint16_t DeflateOptionFlags(int mode) {
    if (mode == 1)
        return 0x6;
    if (mode == 2)
        return 0x4;
    if (mode >= 8)
        return 0x2;
    return 0;
}

std::uint64_t SegmentSize(const TZWSpanningOptions& options, bool first) {
    std::uint64_t size = 0;
    switch (options.VolumeSize) {
    case TZWVolumeSize::vs1_44MB: size = 1457664; break;
    case TZWVolumeSize::vs100MB: size = 100ull << 20; break;
    case TZWVolumeSize::vs200MB: size = 200ull << 20; break;
    case TZWVolumeSize::vs250MB: size = 250ull << 20; break;
    case TZWVolumeSize::vs600MB: size = 600ull << 20; break;
    case TZWVolumeSize::vs650MB: size = 650ull << 20; break;
    case TZWVolumeSize::vs700MB: size = 700ull << 20; break;
    case TZWVolumeSize::vs4700MB: size = 4700ull << 20; break;
    case TZWVolumeSize::vsAutoDetect:
    case TZWVolumeSize::vsCustom:
        size = (first && options.FirstVolumeSize > 0) ? options.FirstVolumeSize : options.CustomVolumeSize;
        break;
    }
    return std::max(size, kMinVolumeSize);
}

} // namespace

void TZipWriterBase::SetCompressionMode(int value) {
    if (value < 0 || value > 9)
        throw EZipWriterError("Invalid compression mode. Mode must be in [0-9] range");
    fCompressionMode = value;
}

TZWCompressionLevel TZipWriterBase::CompressionLevel() const {
    if (fCompressionMode == 0)
        return TZWCompressionLevel::clNone;
    if (fCompressionMode <= 3)
        return TZWCompressionLevel::clFastest;
    if (fCompressionMode <= 6)
        return TZWCompressionLevel::clNormal;
    return TZWCompressionLevel::clMax;
}

void TZipWriterBase::SetCompressionLevel(TZWCompressionLevel value) {
    switch (value) {
    case TZWCompressionLevel::clNone: fCompressionMode = 0; break;
    case TZWCompressionLevel::clFastest: fCompressionMode = 1; break;
    case TZWCompressionLevel::clNormal: fCompressionMode = 6; break;
    case TZWCompressionLevel::clMax: fCompressionMode = 9; break;
    }
}

void TZipWriterBase::SetSpanningMode(TZWSpanningMode value) {
    if (IsOpen())
        throw EZipWriterError("Cannot set spanning mode on open archive");
    fSpanningMode = value;
}

// One AddFiles call: selects the files, then reads them chunk by chunk,
// has the chunks compressed (in worker threads when there are several
// cores) and writes the results in order. Memory is bounded by a small pool
// of chunk buffers whatever the size of the files.
class TZipWriter::Run {
public:
    explicit Run(TZipWriter& writer)
        : fWriter(writer), fOut(*writer.fOutput), fLevel(writer.fCompressionMode),
          fChunkSize(ChunkSizeFor(writer.fCompressionMode)), fEncrypt(!writer.fPassword.empty()) {
        unsigned threads = writer.fThreads == 0 ? std::thread::hardware_concurrency() : writer.fThreads;
        if (fLevel == 0 || threads == 0)
            threads = 1;
        // Enough buffers to keep every worker busy while one chunk is held
        // back and the next is read.
        const std::size_t poolSize = threads <= 1 ? 3 : 2 * threads + 2;
        for (std::size_t i = 0; i < poolSize; ++i) {
            fPool.push_back(std::make_unique<CompressJob>());
            fFree.push_back(fPool.back().get());
        }
        fCompressor = std::make_unique<ChunkCompressor>(fLevel, threads);
    }

    void Execute() {
        SelectionRules rules;
        rules.baseDir = fWriter.fBaseDir;
        rules.fileMasks = fWriter.fFileMasks;
        rules.exclusionMasks = fWriter.fExclusionMasks;
        rules.archivePath = fWriter.fOpenFileName;
        rules.recurse = fWriter.fOptions.Recurse;
        rules.storePath = fWriter.fOptions.StorePath;
        const std::vector<SelectedItem> items = SelectFiles(
            rules,
            [this](const std::string& folder, const std::string& error) {
                return AskFailure(folder, 0, kErrorListFolder, error) == TZWAction::fxaRetry;
            },
            [this] { return StopRequested(); });
        CheckStop();
        for (const SelectedItem& item : items)
            if (!item.isFolder)
                fTotalBytes += item.facts.size;
        for (const SelectedItem& item : items) {
            const std::string nameProblem = StoredNameProblem(item.storedName);
            if (!item.leftOutCause.empty()) {
                LeaveOut(item, TZWLeftOutReason::lrLoop, item.leftOutCause);
            } else if (!nameProblem.empty()) {
                LeaveOut(item, TZWLeftOutReason::lrName, nameProblem);
                if (!item.isFolder)
                    fFinishedBytes += item.facts.size;
            } else if (item.isFolder) {
                QueueFolder(item);
            } else {
                AddFile(item);
            }
            CheckStop();
        }
        while (!fActive.empty())
            DrainOne();
    }

private:
    struct Active {
        const SelectedItem* item = nullptr;
        EntryRecord record;
        std::uint64_t localStart = 0;
        bool headerWritten = false;
        bool readingDone = false;
        std::deque<CompressJob*> jobs;
        std::uint64_t bytesDone = 0;
        std::unique_ptr<PkwareCipher> cipher;
    };

    bool StopRequested() const {
        return fCancelled || (fWriter.fStopFlag && fWriter.fStopFlag->load(std::memory_order_relaxed));
    }

    void CheckStop() const {
        if (StopRequested())
            throw EZipWriterError("Archiving was stopped");
    }

    void LeaveOut(const SelectedItem& item, TZWLeftOutReason reason, const std::string& cause) {
        fWriter.fLeftOut.push_back({item.path, reason, "'" + ShownName(item.path) + "' left out: " + ShownName(cause)});
    }

    TZWAction AskFailure(const std::string& path, int nativeError, int errorCode, const std::string& message) {
        TZWAction action = TZWAction::fxaIgnore;
        if (fWriter.OnProcessFileFailure)
            fWriter.OnProcessFileFailure(fWriter, path, TZWProcessOperation::poAdd, nativeError, errorCode, message,
                                         action);
        if (action == TZWAction::fxaAbort)
            throw EZipWriterError(message);
        return action;
    }

    EntryRecord RecordFor(const SelectedItem& item) const {
        EntryRecord record;
        const EncodedName name = EncodeStoredName(item.storedName);
        record.name = name.bytes;
        record.flags = name.utf8Flag ? kFlagUtf8 : 0;
        record.modified = ToDosDateTime(item.facts.timeKnown, item.facts.lastWrite);
        record.externalAttributes = ZipExternalAttributes(item.facts, item.isFolder);
        record.hostSystem = kZipHostSystem;
        record.zip64Always = fWriter.fZip64Mode == TZip64Mode::zmAlways;
        record.zip64Local = record.zip64Always;
        if (!item.isFolder) {
            record.method = fLevel > 0 ? kMethodDeflated : kMethodStored;
            if (fLevel > 0)
                record.flags |= DeflateOptionFlags(fLevel);
            if (fEncrypt)
                record.flags |= kFlagEncrypted | kFlagDataDescriptor;
        }
        return record;
    }

    void QueueFolder(const SelectedItem& item) {
        Active& entry = fActive.emplace_back();
        entry.item = &item;
        entry.record = RecordFor(item);
        entry.readingDone = true;
    }

    enum class ReadOutcome { Complete, Failed, Changed };

    void AddFile(const SelectedItem& item) {
        // A file found changed after reading is read once more before it is
        // left out: a torn copy (old and new bytes with a valid CRC) is worse
        // than none.
        bool readAgain = true;
        for (;;) {
            InputFile input;
            std::string error;
            int nativeError = 0;
            if (!input.Open(item.path, error, nativeError)) {
                if (AskFailure(item.path, nativeError, kErrorOpen, error) == TZWAction::fxaRetry)
                    continue;
                LeaveOut(item, TZWLeftOutReason::lrUnreadable, error);
                fFinishedBytes += item.facts.size;
                return;
            }
            Active& entry = fActive.emplace_back();
            entry.item = &item;
            entry.record = RecordFor(item);
            if (input.Size() >= kZip64LocalThreshold) {
                if (fWriter.fZip64Mode == TZip64Mode::zmDisabled)
                    ThrowZip64Disabled(item.storedName);
                entry.record.zip64Local = true;
            }
            const ReadOutcome outcome = ReadChunks(entry, input, error, nativeError);
            if (outcome == ReadOutcome::Complete)
                return;
            AbandonLastEntry();
            if (outcome == ReadOutcome::Changed && readAgain) {
                readAgain = false;
                continue;
            }
            const int code = outcome == ReadOutcome::Changed ? kErrorChanged : kErrorRead;
            if (AskFailure(item.path, nativeError, code, error) == TZWAction::fxaRetry)
                continue;
            LeaveOut(item, outcome == ReadOutcome::Changed ? TZWLeftOutReason::lrChanged : TZWLeftOutReason::lrUnreadable,
                     error);
            fFinishedBytes += item.facts.size;
            return;
        }
    }

    // Reads the file into jobs and submits them. A full chunk is held back
    // until the next read shows whether it is the last; the last is submitted
    // only once the file is known not to have changed while it was read.
    ReadOutcome ReadChunks(Active& entry, InputFile& input, std::string& error, int& nativeError) {
        CompressJob* held = nullptr;
        CompressJob* last = nullptr;
        std::uint64_t bytesRead = 0;
        for (;;) {
            if (StopRequested()) {
                if (held)
                    Recycle(held);
                CheckStop();
            }
            CompressJob* job = TakeFreeJob();
            if (job->input.size() < fChunkSize)
                job->input.resize(fChunkSize);
            const long long n = input.Read(job->input.data(), fChunkSize, error, nativeError);
            if (n < 0) {
                Recycle(job);
                if (held)
                    Recycle(held);
                return ReadOutcome::Failed;
            }
            bytesRead += static_cast<std::uint64_t>(n);
            job->inputSize = static_cast<std::size_t>(n);
            job->dictionary.clear();
            job->finish = false;
            if (held) {
                if (n == 0) {
                    Recycle(job);
                    last = held;
                    break;
                }
                const std::size_t tail = std::min(kDictionarySize, held->inputSize);
                job->dictionary.assign(held->input.data() + held->inputSize - tail,
                                       held->input.data() + held->inputSize);
                Submit(entry, held);
                held = nullptr;
            }
            if (job->inputSize < fChunkSize) {
                last = job;
                break;
            }
            held = job;
        }
        if (!input.Unchanged(error, nativeError) || bytesRead != input.Size()) {
            if (error.empty())
                error = "'" + entry.item->path + "' changed while it was read";
            Recycle(last);
            return ReadOutcome::Changed;
        }
        last->finish = true;
        Submit(entry, last);
        entry.readingDone = true;
        return ReadOutcome::Complete;
    }

    void Submit(Active& entry, CompressJob* job) {
        entry.jobs.push_back(job);
        fCompressor->Submit(*job);
    }

    CompressJob* TakeFreeJob() {
        while (fFree.empty())
            DrainOne();
        CompressJob* job = fFree.back();
        fFree.pop_back();
        return job;
    }

    void Recycle(CompressJob* job) { fFree.push_back(job); }

    // Writes the next piece of the oldest entry: its header, a chunk, or its end.
    void DrainOne() {
        if (fActive.empty())
            throw EZipWriterError("internal error: no work left to write");
        Active& front = fActive.front();
        if (!front.headerWritten)
            WriteHeader(front);
        if (!front.jobs.empty()) {
            CompressJob* job = front.jobs.front();
            fCompressor->Wait(*job);
            front.jobs.pop_front();
            WriteChunk(front, *job);
            Recycle(job);
            return;
        }
        if (!front.readingDone)
            throw EZipWriterError("internal error: entry without data");
        FinishEntry(front);
        fActive.pop_front();
    }

    // Takes back the entry being read after a read error: what came before it
    // is written, its own bytes are removed from the archive.
    void AbandonLastEntry() {
        while (fActive.size() > 1)
            DrainOne();
        Active& entry = fActive.back();
        for (CompressJob* job : entry.jobs) {
            fCompressor->Wait(*job);
            Recycle(job);
        }
        if (entry.headerWritten)
            fOut.Truncate(entry.localStart);
        fActive.pop_back();
    }

    void WriteHeader(Active& entry) {
        const std::string header = LocalHeader(entry.record);
        fOut.KeepTogether(header.size());
        entry.localStart = fOut.Position();
        entry.record.diskStart = fOut.DiskOf(entry.localStart);
        entry.record.localOffset = fOut.OffsetInDisk(entry.localStart);
        if (entry.record.localOffset >= kMax32 && fWriter.fZip64Mode == TZip64Mode::zmDisabled)
            ThrowZip64Disabled(entry.item->storedName);
        entry.headerWritten = true;
        fOut.Write(header);
        if (entry.item->isFolder)
            return;
        if (fEncrypt) {
            // With the sizes after the data, the check byte is the high byte of the time.
            entry.cipher = std::make_unique<PkwareCipher>(fWriter.fPassword);
            const auto header = entry.cipher->MakeHeader(static_cast<unsigned char>(entry.record.modified.time >> 8));
            fOut.Write(header.data(), header.size());
            entry.record.compressedSize += header.size();
        }
        RaiseProgress(entry, TZWProgressPhase::ppStart);
    }

    void WriteChunk(Active& entry, CompressJob& job) {
        if (!job.error.empty())
            throw EZipWriterError(job.error + ": " + entry.item->path);
        unsigned char* data = fLevel == 0 ? job.input.data() : job.output.data();
        const std::size_t size = fLevel == 0 ? job.inputSize : job.outputSize;
        if (entry.cipher)
            entry.cipher->Encrypt(data, size);
        fOut.Write(data, size);
        entry.record.crc = static_cast<std::uint32_t>(
            crc32_combine(entry.record.crc, job.crc, static_cast<z_off_t>(job.inputSize)));
        entry.record.uncompressedSize += job.inputSize;
        entry.record.compressedSize += size;
        entry.bytesDone += job.inputSize;
        RaiseProgress(entry, TZWProgressPhase::ppProcess);
    }

    void FinishEntry(Active& entry) {
        if (!entry.headerWritten)
            WriteHeader(entry);
        EntryRecord& record = entry.record;
        if (!entry.item->isFolder) {
            const bool big = record.compressedSize >= kMax32 || record.uncompressedSize >= kMax32;
            if (big && fWriter.fZip64Mode == TZip64Mode::zmDisabled)
                ThrowZip64Disabled(entry.item->storedName);
            if (big && !record.zip64Local)
                throw EZipWriterError(
                    WithName("Cannot compress file '%s': it grew past 4 GiB while it was read", entry.item->path));
            if (record.flags & kFlagDataDescriptor) {
                const std::string descriptor = DataDescriptor(record);
                fOut.KeepTogether(descriptor.size());
                fOut.Write(descriptor);
            }
            else
                fOut.Patch(entry.localStart, LocalHeader(record));
            fFinishedBytes += entry.item->facts.size;
            RaiseProgress(entry, TZWProgressPhase::ppEnd);
        }
        fWriter.fEntries.push_back(record);
    }

    void RaiseProgress(const Active& entry, TZWProgressPhase phase) {
        if (!fWriter.OnFileProgress && !fWriter.OnOverallProgress)
            return;
        const std::uint64_t size = entry.item->facts.size;
        const std::uint64_t done = std::min(entry.bytesDone, size);
        double fileProgress = size == 0 ? 0.0 : 100.0 * static_cast<double>(done) / static_cast<double>(size);
        std::uint64_t overallDone = fFinishedBytes + done;
        if (phase == TZWProgressPhase::ppEnd) {
            fileProgress = 100.0;
            overallDone = fFinishedBytes;
        }
        const double overall =
            fTotalBytes == 0
                ? 50.0
                : std::min(100.0, 100.0 * static_cast<double>(overallDone) / static_cast<double>(fTotalBytes));
        bool cancel = false;
        if (fWriter.OnFileProgress)
            fWriter.OnFileProgress(fWriter, entry.item->path, fileProgress, TZWProcessOperation::poAdd, phase, cancel);
        if (fWriter.OnOverallProgress)
            fWriter.OnOverallProgress(fWriter, overall, TZWProcessOperation::poAdd, phase, cancel);
        if (cancel)
            fCancelled = true;
    }

    TZipWriter& fWriter;
    ArchiveOutput& fOut;
    const int fLevel;
    const std::size_t fChunkSize;
    const bool fEncrypt;
    std::vector<std::unique_ptr<CompressJob>> fPool;
    std::vector<CompressJob*> fFree;
    std::deque<Active> fActive;
    std::uint64_t fTotalBytes = 0;
    std::uint64_t fFinishedBytes = 0;
    bool fCancelled = false;
    // Declared last so that it is destroyed first: its workers finish every
    // submitted job before the buffers go away.
    std::unique_ptr<ChunkCompressor> fCompressor;
};

TZipWriter::TZipWriter() = default;

TZipWriter::~TZipWriter() { Discard(); }

void TZipWriter::OpenArchive(TZWOpenMode) {
    if (IsOpen())
        throw EZipWriterError("An archive is already open");
    if (fFileName.empty())
        throw EZipWriterError("Archive file name is not specified");
    if (!fPassword.empty() && fEncryptionMethod != TZWCryptoAlgorithm::caPkzipClassic)
        throw EZipWriterError("Only the traditional PKWARE encryption is supported");
    if (fSpanningMode == TZWSpanningMode::smSpanning)
        throw EZipWriterError("Spanning over removable media is not supported");
    const bool split = fSpanningMode == TZWSpanningMode::smSplitting;
    if (split && fInMemory)
        throw EZipWriterError("An archive built in memory cannot be split");
    fEntries.clear();
    fWrittenFiles.clear();
    fLeftOut.clear();
    fOpenFileName = fFileName;
    if (fInMemory)
        fOutput = std::make_unique<ArchiveOutput>(fFileName);
    else if (split)
        fOutput = std::make_unique<ArchiveOutput>(fFileName, SegmentSize(fSpanningOptions, true),
                                                  SegmentSize(fSpanningOptions, false),
                                                  fSpanningOptions.AdvancedNaming);
    else
        fOutput = std::make_unique<ArchiveOutput>(fFileName, ArchiveOutput::kUnlimited, ArchiveOutput::kUnlimited,
                                                  false);
    if (split) {
        const unsigned char signature[4] = {0x50, 0x4b, 0x07, 0x08};
        fOutput->Write(signature, sizeof signature);
    }
}

void TZipWriter::AddFiles() {
    if (!IsOpen())
        throw EZipWriterError("No archive is open");
    try {
        Run(*this).Execute();
    } catch (...) {
        Discard();
        throw;
    }
}

void TZipWriter::SetInMemory(bool value) {
    if (!value && fOutput && fOutput->IsInMemory()) {
        try {
            fOutput->MoveToFile();
        } catch (...) {
            Discard();
            throw;
        }
    }
    fInMemory = value;
}

void TZipWriter::CloseArchive() {
    if (!IsOpen())
        return;
    try {
        WriteCentralDirectory();
        std::vector<std::string> names = fOutput->FinalNames();
        fOutput->Commit();
        fWrittenFiles = std::move(names);
    } catch (...) {
        Discard();
        throw;
    }
    fOutput.reset();
    fEntries.clear();
}

void TZipWriter::Discard() {
    if (fOutput)
        fOutput->Discard();
    fOutput.reset();
    fEntries.clear();
}

void TZipWriter::WriteCentralDirectory() {
    ArchiveOutput& out = *fOutput;
    EndOfArchive end;
    end.totalEntries = fEntries.size();
    std::uint64_t centralStart = out.Position();
    std::uint32_t lastHeaderDisk = 0;
    std::uint64_t headersOnLastDisk = 0;
    for (std::size_t i = 0; i < fEntries.size(); ++i) {
        const std::string header = CentralHeader(fEntries[i]);
        out.KeepTogether(header.size());
        const std::uint32_t disk = out.DiskOf(out.Position());
        if (i == 0)
            centralStart = out.Position();
        if (i == 0 || disk != lastHeaderDisk) {
            lastHeaderDisk = disk;
            headersOnLastDisk = 0;
        }
        ++headersOnLastDisk;
        out.Write(header);
    }
    const std::uint64_t centralEnd = out.Position();
    end.centralStartDisk = out.DiskOf(centralStart);
    end.centralSize = centralEnd - centralStart;
    end.centralOffset = out.OffsetInDisk(centralStart);
    // Readers look for the end records in the last segment: they go there
    // together. Moving them may change the disk numbers they carry, and so
    // whether the Zip64 records are needed; the second round settles it.
    bool zip64End = fZip64Mode == TZip64Mode::zmAlways;
    for (int round = 0; round < 2; ++round) {
        out.KeepTogether(kEndRecordSize + (zip64End ? kZip64EndRecordSize + kZip64LocatorSize : 0));
        end.thisDisk = out.DiskOf(out.Position());
        end.entriesOnThisDisk = !fEntries.empty() && end.thisDisk == lastHeaderDisk ? headersOnLastDisk : 0;
        zip64End = zip64End || NeedsZip64End(end);
    }
    if (zip64End && fZip64Mode == TZip64Mode::zmDisabled)
        throw EZipWriterError("Cannot create the archive: it needs Zip64 records and Zip64 mode is not enabled");
    if (zip64End) {
        end.zip64EndDisk = end.thisDisk;
        end.zip64EndOffset = out.OffsetInDisk(out.Position());
        out.Write(Zip64EndRecord(end));
        out.Write(Zip64Locator(end));
    }
    out.Write(EndRecord(end));
    if (out.IsSplit() && out.DiskOf(out.Position() - 1) == 0) {
        // Everything fits in one segment: mark it as an ordinary archive.
        const unsigned char marker[4] = {0x50, 0x4b, 0x30, 0x30};
        out.Patch(0, marker, sizeof marker);
    }
}
