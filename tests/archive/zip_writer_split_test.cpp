#include "archive_test_support.h"

#include <gtest/gtest.h>

using namespace archive_test;

namespace {

std::string WriteSplit(const TempFolder& dir, std::uint64_t segmentSize, const std::string& password = {}) {
    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "out/name.zip", dir / "src/", 1);
    writer.SetPassword(password);
    writer.SetInMemory(false);
    writer.SetSpanningMode(TZWSpanningMode::smSplitting);
    writer.SpanningOptions().AdvancedNaming = false;
    writer.SpanningOptions().VolumeSize = TZWVolumeSize::vsCustom;
    writer.SpanningOptions().CustomVolumeSize = segmentSize;
    writer.SpanningOptions().FirstVolumeSize = segmentSize;
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);
    return dir / "out/name.zip";
}

} // namespace

TEST(ZipWriterSplit, SegmentsHaveTheConfiguredSizeAndLowerCaseNames) {
    const std::string sevenZip = SevenZipTool();
    if (sevenZip.empty())
        GTEST_SKIP() << "neither 7z nor 7zz is installed (Debian package 7zip)";
    TempFolder dir;
    fs::create_directories(dir / "out");
    // About 2.5 segments of incompressible data over several files, so that
    // headers and data cross segment boundaries.
    for (int i = 0; i < 5; ++i)
        WriteFile(dir / ("src/f" + std::to_string(i) + ".bin"), RandomBytes(110'000, i));
    fs::create_directories(dir / "src/empty");
    // (segment size asked for, size the segments must have)
    for (const auto& [asked, expected] : std::vector<std::pair<std::uint64_t, std::uint64_t>>{{200'000, 200'000},
                                                                                              {1, 65'536}}) {
        SCOPED_TRACE(asked);
        for (const auto& name : FileNamesIn(dir / "out"))
            fs::remove(dir / ("out/" + name));
        const std::string archive = WriteSplit(dir, asked);
        const std::vector<std::string> names = FileNamesIn(dir / "out");
        const std::size_t segments = names.size();
        ASSERT_GE(segments, 3u);
        for (std::size_t i = 1; i < segments; ++i) {
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, "name.z%02zu", i);
            ASSERT_EQ(names[i - 1], suffix);
            // A segment ends a little early where the next header would not fit whole.
            const auto size = fs::file_size(dir / ("out/" + names[i - 1]));
            EXPECT_LE(size, expected) << names[i - 1];
            EXPECT_GE(size + 1024, expected) << names[i - 1];
        }
        EXPECT_EQ(names.back(), "name.zip");
        EXPECT_LE(fs::file_size(archive), expected);
        EXPECT_EQ(ReadFile(dir / "out/name.z01").substr(0, 4), std::string("PK\x07\x08", 4));

        const CommandResult test = RunCommand(sevenZip + " t " + Quote(archive));
        EXPECT_EQ(test.exitCode, 0) << test.output;
        const std::string out = dir / "x";
        fs::remove_all(out);
        const CommandResult extract = RunCommand(sevenZip + " x -o" + Quote(out) + " " + Quote(archive));
        ASSERT_EQ(extract.exitCode, 0) << extract.output;
        EXPECT_EQ(ReadFile(out + "/f3.bin"), ReadFile(dir / "src/f3.bin"));
        EXPECT_TRUE(fs::is_directory(out + "/empty"));
    }
}

TEST(ZipWriterSplit, EncryptedSplitArchiveOpensWithItsPassword) {
    const std::string sevenZip = SevenZipTool();
    if (sevenZip.empty())
        GTEST_SKIP() << "neither 7z nor 7zz is installed (Debian package 7zip)";
    TempFolder dir;
    fs::create_directories(dir / "out");
    WriteFile(dir / "src/a.bin", RandomBytes(150'000, 9));
    const std::string archive = WriteSplit(dir, 65'536, "pw");
    EXPECT_EQ(FileNamesIn(dir / "out").size(), 3u);
    EXPECT_EQ(RunCommand(sevenZip + " t -ppw " + Quote(archive)).exitCode, 0);
    EXPECT_NE(RunCommand(sevenZip + " t -pbad " + Quote(archive)).exitCode, 0);
}

TEST(ZipWriterSplit, ArchiveThatFitsInOneSegmentIsAnOrdinaryArchive) {
    TempFolder dir;
    fs::create_directories(dir / "out");
    WriteFile(dir / "src/a.txt", "small");
    const std::string archive = WriteSplit(dir, 1'000'000);
    EXPECT_EQ(FileNamesIn(dir / "out"), std::vector<std::string>{"name.zip"});
    if (HasTool("unzip")) {
        const CommandResult test = RunCommand("unzip -t " + Quote(archive));
        EXPECT_EQ(test.exitCode, 0) << test.output;
    }
    if (HasTool("python3")) {
        const PyListing listing = ListWithPython(archive);
        EXPECT_TRUE(listing.ok) << listing.message;
        EXPECT_EQ(listing.entries.size(), 1u);
    }
}

TEST(ZipWriterSplit, SplittingInMemoryIsRefused) {
    TempFolder dir;
    TZipWriter writer;
    writer.SetFileName(dir / "a.zip");
    writer.SetSpanningMode(TZWSpanningMode::smSplitting);
    writer.SetInMemory(true);
    EXPECT_THROW(writer.OpenArchive(), EZipWriterError);
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

// A segment that cannot take its name (here a folder holds it) must not leave
// the previous archive with some of its segments replaced.
TEST(ZipWriterSplit, FailingSegmentRenameKeepsThePreviousArchiveWhole) {
    const std::string sevenZip = SevenZipTool();
    if (sevenZip.empty())
        GTEST_SKIP() << "neither 7z nor 7zz is installed (Debian package 7zip)";
    TempFolder dir;
    fs::create_directories(dir / "out");
    WriteFile(dir / "src/old.bin", RandomBytes(100'000, 1));
    WriteSplit(dir, 65'536); // the previous archive: name.z01 and name.zip
    ASSERT_EQ(FileNamesIn(dir / "out"), (std::vector<std::string>{"name.z01", "name.zip"}));
    const std::string oldFirst = ReadFile(dir / "out/name.z01");
    WriteFile(dir / "out/name.z02/occupied", "x");
    fs::remove(dir / "src/old.bin");
    WriteFile(dir / "src/new.bin", RandomBytes(200'000, 2));
    EXPECT_THROW(WriteSplit(dir, 65'536), EZipWriterError);
    EXPECT_EQ(FileNamesIn(dir / "out"), (std::vector<std::string>{"name.z01", "name.z02", "name.zip"}));
    EXPECT_EQ(ReadFile(dir / "out/name.z01"), oldFirst);
    const CommandResult test = RunCommand(sevenZip + " t " + Quote(dir / "out/name.zip"));
    EXPECT_EQ(test.exitCode, 0) << test.output;
}
