#pragma once

// Helpers for the archive tests: a temporary folder, files, running the
// external tools that check the archives (unzip, 7z, Python's zipfile).

#include "archive/zip_writer.h"

#include <filesystem>
#include <string>
#include <vector>

namespace archive_test {

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return fPath; }
    // Path() / relative as a UTF-8 string.
    std::string operator/(const std::string& relative) const;

private:
    fs::path fPath;
};

// UTF-8 text to a path and back; on Windows the plain std::string forms use
// the ANSI code page instead.
fs::path PathFromUtf8(const std::string& utf8);
std::string Utf8Of(const fs::path& path);

// Writes bytes to path, creating the folders on the way.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// Bytes that deflate hardly shrinks.
std::string RandomBytes(std::size_t size, unsigned seed);
// Sets the last-write time to the given local time.
void SetLocalModificationTime(const std::string& path, int year, int month, int day, int hour, int minute,
                              int second);

struct CommandResult {
    int exitCode = -1;
    std::string output;
};
// Runs a shell command, capturing stdout and stderr together.
CommandResult RunCommand(const std::string& command);
std::string Quote(const std::string& text);

bool HasTool(const std::string& name);
// "7z", else "7zz", else empty.
std::string SevenZipTool();

// One entry as Python's zipfile reads it from the central directory.
struct PyEntry {
    std::string name; // decoded the way zipfile decodes it (UTF-8 with bit 11)
    int flags = 0;
    int method = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    unsigned externalAttributes = 0;
    unsigned long long size = 0;
    int createSystem = -1;
    int extractVersion = 0;
};
struct PyListing {
    bool ok = false;       // the archive opened and every CRC matched
    std::string message;   // what went wrong otherwise
    std::vector<PyEntry> entries;
};
// Opens the archive with zipfile, reads every entry (checking its CRC) and
// lists the entries; needs python3.
PyListing ListWithPython(const std::string& archive, const std::string& password = std::string());

// A writer set up as the archive engines set it up.
void ConfigureAsEngines(TZipWriter& writer, const std::string& fileName, const std::string& baseDir, int level);
// Open, add, close.
void WriteArchive(TZipWriter& writer);

// Every file name in folder (not recursive).
std::vector<std::string> FileNamesIn(const std::string& folder);

// What an archive must hold: a folder's name ends in '/', a file's content is
// the bytes that must come out of it.
struct ExpectedEntry {
    std::string name;
    std::string content;
};
// Where the Windows tests leave archives for the external readers, which
// cannot be run from inside Wine (NORVANE_ARCHIVE_EXPORT_DIR, set by
// scripts/test-windows.sh); empty when it is not set.
std::string ExportFolder();
// Copies archive into ExportFolder() under the running test's name, with the
// entries it must hold and its password, for scripts/check-exported-archives.sh:
// unzip, 7-Zip and zipfile must accept it, list exactly these names and give
// each file's size and CRC-32 of its content.
void ExportForExternalReaders(const std::string& archive, const std::vector<ExpectedEntry>& entries,
                              const std::string& password = std::string());

} // namespace archive_test
