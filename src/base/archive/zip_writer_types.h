#pragma once

// Settings, enumerations and events of the ZIP archive writer.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

class TZipWriterBase;

// Every failure of the writer's own checks, and every file-system failure
// while an archive is written, reaches the caller as this exception.
class EZipWriterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TZWCompressionLevel { clNone, clFastest, clNormal, clMax };

enum class TZWCryptoAlgorithm { caPkzipClassic, caAES_128, caAES_192, caAES_256 };

enum class TZip64Mode { zmDisabled, zmAuto, zmAlways };

enum class TZWSpanningMode { smNone, smSpanning, smSplitting };

enum class TZWVolumeSize {
    vsAutoDetect,
    vsCustom,
    vs1_44MB,
    vs100MB,
    vs200MB,
    vs250MB,
    vs600MB,
    vs650MB,
    vs700MB,
    vs4700MB
};

struct TZWSpanningOptions {
    // Segments are named name_001, name_002 ... instead of name.z01, name.z02 ...
    bool AdvancedNaming = false;
    TZWVolumeSize VolumeSize = TZWVolumeSize::vsAutoDetect;
    // Size of every segment; values below 65,536 count as 65,536.
    std::uint64_t CustomVolumeSize = 0;
    // Size of the first segment when above 0.
    std::uint64_t FirstVolumeSize = 0;
};

enum class TZWStorePath { spNoPath, spRelativePath, spFullPath, spFullPathWithDrive };

struct TZWOptions {
    TZWStorePath StorePath = TZWStorePath::spRelativePath;
    bool Recurse = true;
    // Read-only, hidden, system, volume label, directory, archive, normal,
    // compressed and not-content-indexed entries are found.
    std::uint32_t SearchAttr = 0x28BF;
    bool OEMFileNames = true;
};

enum class TZWProcessOperation {
    poAdd,
    poMove,
    poDelete,
    poUpdate,
    poExtract,
    poTest,
    poRename,
    poChangeAttr,
    poChangeComment,
    poMakeSFX,
    poMerge
};

enum class TZWProgressPhase { ppStart, ppProcess, ppEnd };

enum class TZWAction { fxaRetry, fxaIgnore, fxaAbort };

enum class TZWOpenMode { omCreate };

// Raised after each chunk of a file is read and compressed; fileName is the
// source path, progress the share of the file done (0 to 100). Setting
// cancel stops the work.
using TZWFileProgressEvent = std::function<void(TZipWriterBase& sender, const std::string& fileName, double progress,
                                                TZWProcessOperation operation, TZWProgressPhase phase, bool& cancel)>;

// Raised at the same moments for the whole job.
using TZWProgressEvent = std::function<void(TZipWriterBase& sender, double progress, TZWProcessOperation operation,
                                            TZWProgressPhase phase, bool& cancel)>;

// Raised when a selected file cannot be opened or read; action starts as
// fxaIgnore.
using TZWProcessFileFailureEvent =
    std::function<void(TZipWriterBase& sender, const std::string& fileName, TZWProcessOperation operation,
                       int nativeError, int errorCode, const std::string& errorMessage, TZWAction& action)>;

// Why a selected file or folder is missing from the archive.
enum class TZWLeftOutReason {
    lrUnreadable, // it could not be opened or read
    lrChanged,    // it changed while it was read, also when read a second time
    lrName,       // its name cannot be stored so that readers restore it
    lrLoop        // a link to a folder that contains it: entering it would never end
};

// One selected file or folder that the archive does not hold.
struct TZWLeftOutFile {
    std::string path;      // the source path as bytes
    TZWLeftOutReason reason = TZWLeftOutReason::lrUnreadable;
    std::string message;   // what happened, naming the path (shown form) and the cause
};
