#include "archive_test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

namespace archive_test {

TempFolder::TempFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("norvane-archive-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            fPath = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(fPath, ignored);
}

fs::path PathFromUtf8(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string TempFolder::operator/(const std::string& relative) const { return Utf8Of(fPath / PathFromUtf8(relative)); }

void WriteFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(PathFromUtf8(path).parent_path());
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

void SetLocalModificationTime(const std::string& path, int year, int month, int day, int hour, int minute,
                              int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t t = std::mktime(&local);
#ifdef _WIN32
    // FILETIME counts 100 ns steps since 1601-01-01.
    const std::uint64_t ticks = static_cast<std::uint64_t>(t) * 10000000ULL + 116444736000000000ULL;
    const FILETIME written{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const std::wstring widePath = PathFromUtf8(path).wstring();
    const HANDLE file = ::CreateFileW(widePath.c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool set = file != INVALID_HANDLE_VALUE && ::SetFileTime(file, nullptr, &written, &written);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    if (!set)
        throw std::runtime_error("cannot set the time of " + path);
#else
    const struct timespec times[2] = {{t, 0}, {t, 0}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + path);
#endif
}

#ifdef _WIN32
// Under Wine a Linux program's exit status always reads 0, so the tools are
// never run from a Windows test: those archives are checked by
// scripts/test-windows.sh on the Linux side after the run.
CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    result.output = "external tools are not run from the Windows tests: " + command;
    return result;
}

#else

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
#endif

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

#ifdef _WIN32
bool HasTool(const std::string&) { return false; }
#else
bool HasTool(const std::string& name) { return RunCommand("command -v " + Quote(name)).exitCode == 0; }
#endif

std::string SevenZipTool() {
    if (HasTool("7z"))
        return "7z";
    if (HasTool("7zz"))
        return "7zz";
    return {};
}

PyListing ListWithPython(const std::string& archive, const std::string& password) {
    static const char* script = R"PY(
import sys, zipfile
try:
    z = zipfile.ZipFile(sys.argv[1])
    if len(sys.argv) > 2:
        z.setpassword(sys.argv[2].encode('utf-8'))
    for i in z.infolist():
        if not i.is_dir():
            z.read(i)
        print('E', i.flag_bits, i.compress_type, *i.date_time, i.external_attr, i.file_size, i.create_system,
              i.extract_version, i.filename.encode('utf-8').hex())
    print('OK')
except Exception as e:
    print('FAIL', type(e).__name__, e)
)PY";
    PyListing listing;
    std::string command = "python3 -c " + Quote(script) + " " + Quote(archive);
    if (!password.empty())
        command += " " + Quote(password);
    const CommandResult result = RunCommand(command);
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string tag;
        fields >> tag;
        if (tag == "E") {
            PyEntry e;
            std::string hexName;
            fields >> e.flags >> e.method >> e.year >> e.month >> e.day >> e.hour >> e.minute >> e.second >>
                e.externalAttributes >> e.size >> e.createSystem >> e.extractVersion >> hexName;
            for (std::size_t i = 0; i + 1 < hexName.size(); i += 2)
                e.name += static_cast<char>(std::stoi(hexName.substr(i, 2), nullptr, 16));
            listing.entries.push_back(e);
        } else if (tag == "OK") {
            listing.ok = true;
        }
    }
    if (!listing.ok)
        listing.message = result.output;
    return listing;
}

void ConfigureAsEngines(TZipWriter& writer, const std::string& fileName, const std::string& baseDir, int level) {
    writer.SetUnicodeFilenames(true);
    writer.SetCompressionMode(level);
    writer.SetFileName(fileName);
    writer.SetZip64Mode(TZip64Mode::zmAuto);
    writer.SetBaseDir(baseDir);
    writer.OnProcessFileFailure = [](TZipWriterBase&, const std::string&, TZWProcessOperation, int, int,
                                     const std::string&, TZWAction& action) { action = TZWAction::fxaIgnore; };
}

void WriteArchive(TZipWriter& writer) {
    writer.OpenArchive(TZWOpenMode::omCreate);
    writer.AddFiles();
    writer.SetInMemory(false);
    writer.CloseArchive();
}

std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder)))
        names.push_back(Utf8Of(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string ExportFolder() {
    const char* folder = std::getenv("NORVANE_ARCHIVE_EXPORT_DIR");
    return folder ? folder : "";
}

void ExportForExternalReaders(const std::string& archive, const std::vector<ExpectedEntry>& entries,
                              const std::string& password) {
    const std::string folder = ExportFolder();
    if (folder.empty())
        throw std::runtime_error("NORVANE_ARCHIVE_EXPORT_DIR is not set");
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string base = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(base.begin(), base.end(), '/', '_');
    // One test may hand over several archives.
    std::string target = folder + "/" + base + ".zip";
    for (int n = 2; fs::exists(PathFromUtf8(target)); ++n)
        target = folder + "/" + base + "-" + std::to_string(n) + ".zip";
    fs::copy_file(PathFromUtf8(archive), PathFromUtf8(target));
    std::string names, contents;
    for (const ExpectedEntry& entry : entries) {
        names += entry.name + "\n";
        if (!entry.name.empty() && entry.name.back() == '/')
            continue;
        const uLong crc = ::crc32(::crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(entry.content.data()),
                                  static_cast<uInt>(entry.content.size()));
        char fields[40];
        std::snprintf(fields, sizeof fields, "%08lx %zu ", static_cast<unsigned long>(crc), entry.content.size());
        contents += fields + entry.name + "\n";
    }
    WriteFile(target + ".names", names);
    WriteFile(target + ".contents", contents);
    WriteFile(target + ".password", password);
}

} // namespace archive_test
