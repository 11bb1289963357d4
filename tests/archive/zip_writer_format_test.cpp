#include "archive_test_support.h"

#include <gtest/gtest.h>

#include <map>

using namespace archive_test;

namespace {

#define REQUIRE_PYTHON()                                                                                               \
    if (!HasTool("python3"))                                                                                           \
    GTEST_SKIP() << "python3 is not installed (scripts/install-deps.sh installs it)"

std::map<std::string, PyEntry> ByName(const PyListing& listing) {
    std::map<std::string, PyEntry> entries;
    for (const PyEntry& e : listing.entries)
        entries[e.name] = e;
    return entries;
}

// A small tree: files at two depths, an empty folder, a hidden file, a
// folder without a dot in its name and a name outside ASCII.
class ArchiveTree : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(fDir / "src/Docs/report.txt", std::string(5000, 'r'));
        WriteFile(fDir / "src/Docs/sub/x.bin", RandomBytes(300000, 1));
        WriteFile(fDir / "src/Docs/.hidden", "h");
        WriteFile(fDir / "src/Docs/Привет.txt", "unicode");
        WriteFile(fDir / "src/Docs/notes.bak", "excluded");
        fs::create_directories(fDir / "src/Docs/empty");
        WriteFile(fDir / "src/Notes/plan.txt", "plan");
        SetLocalModificationTime(fDir / "src/Docs/report.txt", 2021, 3, 4, 5, 6, 8);
    }

    std::string Archive() const { return fDir / "out/a.zip"; }

    PyListing Write(int level, const std::vector<std::string>& masks, const std::vector<std::string>& exclusions = {}) {
        fs::create_directories(fDir / "out");
        TZipWriter writer;
        ConfigureAsEngines(writer, Archive(), fDir / "src/Docs/", level);
        writer.FileMasks() = masks;
        writer.ExclusionMasks() = exclusions;
        WriteArchive(writer);
        return ListWithPython(Archive());
    }

    TempFolder fDir;
};

} // namespace

TEST_F(ArchiveTree, StoresNamesFoldersAndFlagsAsTheFormatRequires) {
    REQUIRE_PYTHON();
    const PyListing listing = Write(6, {fDir / "src/Docs/*.*", fDir / "src/Notes/plan.txt"}, {"*.bak"});
    ASSERT_TRUE(listing.ok) << listing.message;
    const auto entries = ByName(listing);
    std::vector<std::string> names;
    for (const auto& [name, entry] : entries)
        names.push_back(name);
    // Inside BaseDir relative; outside it the full path without its root.
    const std::string notes = (fDir / "src/Notes/plan.txt").substr(1);
    const std::vector<std::string> expected = {
        ".hidden", "empty/", notes, "report.txt", "sub/", "sub/x.bin", "Привет.txt"};
    std::vector<std::string> sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end());
    EXPECT_EQ(names, sortedExpected);

    for (const auto& [name, e] : entries) {
        SCOPED_TRACE(name);
        const bool folder = name.back() == '/';
        EXPECT_EQ(e.method, folder ? 0 : 8);
        EXPECT_EQ(e.createSystem, 3);  // Unix: readers then restore names and modes as stored
        EXPECT_EQ(e.extractVersion, 20);
        const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
        EXPECT_EQ((e.flags & 0x800) != 0, !ascii);
        EXPECT_EQ(e.flags & 0x1, 0);
        EXPECT_EQ(e.externalAttributes & 0x10, folder ? 0x10u : 0u);
    }
    EXPECT_EQ(entries.at(".hidden").externalAttributes & 0xFFu, 0x22u);
    EXPECT_EQ(entries.at("sub/x.bin").size, 300000u);
    const PyEntry& report = entries.at("report.txt");
    EXPECT_EQ(std::vector<int>({report.year, report.month, report.day, report.hour, report.minute, report.second}),
              std::vector<int>({2021, 3, 4, 5, 6, 8}));
}

TEST_F(ArchiveTree, LevelsChooseMethodAndDeflateOption) {
    REQUIRE_PYTHON();
    // level, method of file entries, deflate option bits 1-2
    const std::vector<std::array<int, 3>> cases = {{0, 0, 0}, {1, 8, 6}, {2, 8, 4}, {6, 8, 0}, {9, 8, 2}};
    for (const auto& [level, method, option] : cases) {
        SCOPED_TRACE(level);
        const PyListing listing = Write(level, {fDir / "src/Docs/*.*"});
        ASSERT_TRUE(listing.ok) << listing.message;
        for (const PyEntry& e : listing.entries) {
            if (e.name.back() == '/') {
                EXPECT_EQ(e.method, 0);
                continue;
            }
            EXPECT_EQ(e.method, method) << e.name;
            EXPECT_EQ(e.flags & 0x6, option) << e.name;
        }
    }
}

// Where the readers cannot run in the test (under Wine), each archive goes to
// the Linux side's readers instead (ExportForExternalReaders).
TEST_F(ArchiveTree, UnzipAndSevenZipAcceptTheArchive) {
    if (!HasTool("unzip") && !ExportFolder().empty()) {
        std::vector<ExpectedEntry> expected = {{"empty/", ""}, {"sub/", ""}};
        for (const char* name : {".hidden", "notes.bak", "report.txt", "sub/x.bin", "Привет.txt"})
            expected.push_back({name, ReadFile(fDir / (std::string("src/Docs/") + name))});
        for (const int level : {0, 1, 9}) {
            Write(level, {fDir / "src/Docs/*.*"});
            ExportForExternalReaders(Archive(), expected);
        }
        return;
    }
    if (!HasTool("unzip"))
        GTEST_SKIP() << "unzip is not installed (scripts/install-deps.sh installs it)";
    const std::string sevenZip = SevenZipTool();
    if (sevenZip.empty())
        GTEST_SKIP() << "neither 7z nor 7zz is installed (Debian package 7zip)";
    for (const int level : {0, 1, 9}) {
        Write(level, {fDir / "src/Docs/*.*"});
        const CommandResult unzip = RunCommand("unzip -t " + Quote(Archive()));
        EXPECT_EQ(unzip.exitCode, 0) << unzip.output;
        const CommandResult seven = RunCommand(sevenZip + " t " + Quote(Archive()));
        EXPECT_EQ(seven.exitCode, 0) << seven.output;
        // Extract and compare one file byte for byte.
        const std::string extracted = fDir / "x";
        fs::remove_all(extracted);
        ASSERT_EQ(RunCommand("unzip -q " + Quote(Archive()) + " -d " + Quote(extracted)).exitCode, 0);
        EXPECT_EQ(ReadFile(extracted + "/sub/x.bin"), ReadFile(fDir / "src/Docs/sub/x.bin"));
        EXPECT_TRUE(fs::is_directory(extracted + "/empty"));
    }
}

TEST_F(ArchiveTree, MasksSelectAsSpecified) {
    REQUIRE_PYTHON();
    struct Case {
        std::vector<std::string> masks;
        std::vector<std::string> exclusions;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        // No masks: a valid empty archive.
        {{}, {}, {}},
        // A full path of a missing file adds nothing.
        {{fDir / "src/Docs/missing.txt"}, {}, {}},
        // Relative masks resolve against BaseDir; patterns match case-insensitively.
        {{"sub/*.BIN"}, {}, {"sub/x.bin"}},
        // A pattern selects files at every depth; every folder met is added.
        {{"*.txt"}, {}, {"empty/", "report.txt", "sub/", "Привет.txt"}},
        // Exclusion by folder path relative to BaseDir drops the folder and its content.
        {{"*.*"}, {"sub/", "*.bak", ".*", "empty"}, {"report.txt", "Привет.txt"}},
        // "*.*" as an exclusion leaves nothing.
        {{"*.*"}, {"*.*"}, {}},
        // "?" stands for one character, also a multi-byte one.
        {{"??????.txt"}, {"empty"}, {"report.txt", "sub/", "Привет.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.masks.empty() ? std::string("(none)") : c.masks.front());
        const PyListing listing = Write(1, c.masks, c.exclusions);
        ASSERT_TRUE(listing.ok) << listing.message;
        std::vector<std::string> names;
        for (const PyEntry& e : listing.entries)
            names.push_back(e.name);
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected = c.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
    }
}

TEST_F(ArchiveTree, LinkToFileStoresTheFileContent) {
    REQUIRE_PYTHON();
    fs::create_symlink("report.txt", fDir / "src/Docs/link.txt");
    fs::create_directory_symlink(fDir / "src/Notes", fDir / "src/Docs/notes-link");
    const PyListing listing = Write(6, {fDir / "src/Docs/*.*"});
    ASSERT_TRUE(listing.ok) << listing.message;
    const auto entries = ByName(listing);
    ASSERT_TRUE(entries.count("link.txt"));
    EXPECT_EQ(entries.at("link.txt").size, 5000u);
    // A link to a folder is archived as that folder, with its content.
    EXPECT_TRUE(entries.count("notes-link/"));
    std::size_t linked = 0;
    for (const auto& item : fs::recursive_directory_iterator(fDir / "src/Notes")) {
        const std::string relative = fs::relative(item.path(), fDir / "src/Notes").generic_string();
        EXPECT_TRUE(entries.count("notes-link/" + relative + (item.is_directory() ? "/" : ""))) << relative;
        ++linked;
    }
    EXPECT_GT(linked, 0u);
}

TEST_F(ArchiveTree, ThreadCountAndMemoryAssemblyDoNotChangeTheBytes) {
    fs::create_directories(fDir / "out");
    WriteFile(fDir / "src/Docs/big.txt", std::string(3'500'000, 'a') + RandomBytes(2'000'000, 7));
    std::vector<std::string> contents;
    for (const auto& [threads, inMemory] : std::vector<std::pair<unsigned, bool>>{{1, false}, {2, false}, {4, true}}) {
        fs::remove(Archive());
        TZipWriter writer;
        ConfigureAsEngines(writer, Archive(), fDir / "src/Docs/", 6);
        writer.SetThreads(threads);
        writer.SetInMemory(inMemory);
        writer.FileMasks() = {"*.*"};
        writer.OpenArchive();
        writer.AddFiles();
        // Nothing has the archive's name before it is complete.
        EXPECT_FALSE(fs::exists(Archive()));
        writer.SetInMemory(false);
        writer.CloseArchive();
        contents.push_back(ReadFile(Archive()));
        EXPECT_EQ(FileNamesIn(fDir / "out"), std::vector<std::string>{"a.zip"});
    }
    EXPECT_EQ(contents[0], contents[1]);
    EXPECT_EQ(contents[0], contents[2]);
}

TEST(ZipWriterSettings, RejectsInvalidSettings) {
    TZipWriter writer;
    try {
        writer.SetCompressionMode(10);
        FAIL() << "mode 10 accepted";
    } catch (const EZipWriterError& e) {
        EXPECT_STREQ(e.what(), "Invalid compression mode. Mode must be in [0-9] range");
    }
    EXPECT_EQ(writer.CompressionMode(), 1);
    EXPECT_THROW(writer.OpenArchive(), EZipWriterError); // no file name

    TempFolder dir;
    writer.SetFileName(dir / "a.zip");
    writer.OpenArchive();
    try {
        writer.SetSpanningMode(TZWSpanningMode::smSplitting);
        FAIL() << "spanning mode changed on an open archive";
    } catch (const EZipWriterError& e) {
        EXPECT_STREQ(e.what(), "Cannot set spanning mode on open archive");
    }
    writer.CloseArchive();
    writer.CloseArchive(); // closing a closed writer does nothing
    EXPECT_EQ(fs::file_size(dir / "a.zip"), 22u); // only the end record
}

TEST(ZipWriterSettings, CompressionLevelMapsToModes) {
    TZipWriter writer;
    const std::vector<std::pair<int, TZWCompressionLevel>> modes = {
        {0, TZWCompressionLevel::clNone},   {1, TZWCompressionLevel::clFastest}, {3, TZWCompressionLevel::clFastest},
        {4, TZWCompressionLevel::clNormal}, {6, TZWCompressionLevel::clNormal},  {7, TZWCompressionLevel::clMax},
        {9, TZWCompressionLevel::clMax}};
    for (const auto& [mode, level] : modes) {
        writer.SetCompressionMode(mode);
        EXPECT_EQ(writer.CompressionLevel(), level) << mode;
    }
    const std::vector<std::pair<TZWCompressionLevel, int>> levels = {{TZWCompressionLevel::clNone, 0},
                                                                     {TZWCompressionLevel::clFastest, 1},
                                                                     {TZWCompressionLevel::clNormal, 6},
                                                                     {TZWCompressionLevel::clMax, 9}};
    for (const auto& [level, mode] : levels) {
        writer.SetCompressionLevel(level);
        EXPECT_EQ(writer.CompressionMode(), mode);
    }
}
