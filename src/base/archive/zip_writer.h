#pragma once

// TZipWriter creates ZIP archives (PKWARE APPNOTE format) from files and
// folders on disk chosen by masks: deflate through zlib, traditional PKWARE
// encryption, Zip64 where sizes, offsets or the entry count need it, and
// splitting into segments of a fixed size.
//
// The archive is built under temporary names beside FileName and takes its
// final name (each segment too) only in CloseArchive, after everything was
// flushed to disk; an archive that fails or is stopped leaves no temporary
// file behind and any existing file of the final name untouched.
//
// Standard library and zlib only; paths and names are UTF-8.

#include "archive/zip_writer_types.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace archive {
class ArchiveOutput;
struct EntryRecord;
} // namespace archive

// The settings and events of a writer.
class TZipWriterBase {
public:
    TZipWriterBase() = default;
    virtual ~TZipWriterBase() = default;
    TZipWriterBase(const TZipWriterBase&) = delete;
    TZipWriterBase& operator=(const TZipWriterBase&) = delete;

    const std::string& FileName() const { return fFileName; }
    void SetFileName(const std::string& value) { fFileName = value; }
    const std::string& BaseDir() const { return fBaseDir; }
    void SetBaseDir(const std::string& value) { fBaseDir = value; }

    int CompressionMode() const { return fCompressionMode; }
    // Throws EZipWriterError for a value outside 0 to 9.
    void SetCompressionMode(int value);
    TZWCompressionLevel CompressionLevel() const;
    void SetCompressionLevel(TZWCompressionLevel value);

    // The password as bytes (the caller converts it); empty for no encryption.
    const std::string& Password() const { return fPassword; }
    void SetPassword(const std::string& value) { fPassword = value; }
    TZWCryptoAlgorithm EncryptionMethod() const { return fEncryptionMethod; }
    void SetEncryptionMethod(TZWCryptoAlgorithm value) { fEncryptionMethod = value; }

    TZip64Mode Zip64Mode() const { return fZip64Mode; }
    void SetZip64Mode(TZip64Mode value) { fZip64Mode = value; }
    bool UnicodeFilenames() const { return fUnicodeFilenames; }
    void SetUnicodeFilenames(bool value) { fUnicodeFilenames = value; }

    TZWSpanningMode SpanningMode() const { return fSpanningMode; }
    // Throws EZipWriterError while an archive is open.
    void SetSpanningMode(TZWSpanningMode value);
    TZWSpanningOptions& SpanningOptions() { return fSpanningOptions; }
    const TZWSpanningOptions& SpanningOptions() const { return fSpanningOptions; }

    bool InMemory() const { return fInMemory; }
    // Switching off while an archive is open in memory moves it to a file.
    virtual void SetInMemory(bool value) { fInMemory = value; }

    std::vector<std::string>& FileMasks() { return fFileMasks; }
    const std::vector<std::string>& FileMasks() const { return fFileMasks; }
    std::vector<std::string>& ExclusionMasks() { return fExclusionMasks; }
    const std::vector<std::string>& ExclusionMasks() const { return fExclusionMasks; }
    TZWOptions& Options() { return fOptions; }
    const TZWOptions& Options() const { return fOptions; }

    // Worker threads that compress; 0 (the default) uses every core, 1 works
    // in the caller's thread only. The archive's bytes are the same either way.
    unsigned Threads() const { return fThreads; }
    void SetThreads(unsigned value) { fThreads = value; }
    // A stop request polled between chunks, besides the events' cancel flag;
    // may be null. The flag must outlive the writer's work.
    void SetStopFlag(const std::atomic<bool>* flag) { fStopFlag = flag; }

    virtual bool IsOpen() const = 0;

    TZWFileProgressEvent OnFileProgress;
    TZWProgressEvent OnOverallProgress;
    TZWProcessFileFailureEvent OnProcessFileFailure;

protected:
    std::string fFileName;
    std::string fBaseDir;
    int fCompressionMode = 1;
    std::string fPassword;
    TZWCryptoAlgorithm fEncryptionMethod = TZWCryptoAlgorithm::caPkzipClassic;
    TZip64Mode fZip64Mode = TZip64Mode::zmDisabled;
    bool fUnicodeFilenames = false;
    TZWSpanningMode fSpanningMode = TZWSpanningMode::smNone;
    TZWSpanningOptions fSpanningOptions;
    bool fInMemory = false;
    std::vector<std::string> fFileMasks;
    std::vector<std::string> fExclusionMasks;
    TZWOptions fOptions;
    unsigned fThreads = 0;
    const std::atomic<bool>* fStopFlag = nullptr;
};

class TZipWriter : public TZipWriterBase {
public:
    TZipWriter();
    // Discards an archive still open: only CloseArchive gives an archive its
    // names, so a writer given up on (by an exception, say) keeps the
    // previous archive.
    ~TZipWriter() override;

    // Begins a new, empty archive for FileName, in memory when InMemory.
    // Throws EZipWriterError for an empty FileName or unusable settings.
    void OpenArchive(TZWOpenMode mode = TZWOpenMode::omCreate);
    // Adds everything FileMasks select and ExclusionMasks do not exclude.
    // On any failure or a stop the archive is discarded (no temporary file
    // stays) and EZipWriterError is thrown.
    void AddFiles();
    // Finishes the archive and gives it (and its segments) their names.
    // Does nothing when no archive is open.
    void CloseArchive();
    void SetInMemory(bool value) override;
    bool IsOpen() const override { return fOutput != nullptr; }

    // Names of the files the last closed archive was written to, the last
    // being FileName (for a split archive name.z01, name.z02, ..., FileName).
    const std::vector<std::string>& WrittenFiles() const { return fWrittenFiles; }
    // The selected files and folders that the archive being written (or the
    // last one) does not hold, in the order met, each with its reason and a
    // message; cleared by OpenArchive.
    const std::vector<TZWLeftOutFile>& LeftOutFiles() const { return fLeftOut; }

private:
    class Run;
    friend class Run;

    void Discard();
    void WriteCentralDirectory();

    std::unique_ptr<archive::ArchiveOutput> fOutput;
    std::vector<archive::EntryRecord> fEntries;
    std::string fOpenFileName;
    std::vector<std::string> fWrittenFiles;
    std::vector<TZWLeftOutFile> fLeftOut;
};
