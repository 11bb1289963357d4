#include "archive_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sys/stat.h>

using namespace archive_test;

namespace {

// Source trees are compared by relative path and content.
std::map<std::string, std::string> TreeOf(const std::string& root) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(entry.path(), root).string();
        tree[relative] = entry.is_directory() ? std::string("<dir>") : ReadFile(entry.path().string());
    }
    return tree;
}

void SetUpSplit(TZipWriter& writer, std::uint64_t segmentSize) {
    writer.SetInMemory(false);
    writer.SetSpanningMode(TZWSpanningMode::smSplitting);
    writer.SpanningOptions().VolumeSize = TZWVolumeSize::vsCustom;
    writer.SpanningOptions().CustomVolumeSize = segmentSize;
    writer.SpanningOptions().FirstVolumeSize = segmentSize;
}

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

} // namespace

// Many small files with long names put local and central headers on every
// segment boundary at some size; each archive must open and extract whole.
// (Neither zipfile nor unzip reads split archives, so 7-Zip is the reader.)
TEST(ZipWriterInterop, SplitArchivesOfManySmallFilesExtractInSevenZipAndZipfile) {
    const std::string sevenZip = SevenZipTool();
    if (sevenZip.empty())
        GTEST_SKIP() << "neither 7z nor 7zz is installed (Debian package 7zip)";
    TempFolder dir;
    for (int i = 0; i < 1500; ++i)
        WriteFile(dir / ("src/d" + std::to_string(i % 7) + "/file_with_a_rather_long_name_" + std::to_string(i) + ".txt"),
                  RandomBytes(static_cast<std::size_t>(20 + (i * 37) % 300), static_cast<unsigned>(i)));
    const auto source = TreeOf(dir / "src");
    for (const std::uint64_t segmentSize : {65'536ull, 65'537ull, 70'001ull, 99'991ull, 131'072ull}) {
        SCOPED_TRACE(segmentSize);
        fs::remove_all(dir / "out");
        fs::create_directories(dir / "out");
        TZipWriter writer;
        ConfigureAsEngines(writer, dir / "out/name.zip", dir / "src/", 0);
        SetUpSplit(writer, segmentSize);
        writer.FileMasks() = {"*.*"};
        WriteArchive(writer);
        ASSERT_GE(writer.WrittenFiles().size(), 3u);

        const std::string x = dir / "x7";
        fs::remove_all(x);
        const CommandResult extract = RunCommand(sevenZip + " x -y -o" + Quote(x) + " " + Quote(dir / "out/name.zip"));
        ASSERT_EQ(extract.exitCode, 0) << extract.output;
        EXPECT_EQ(TreeOf(x), source);

    }
}

// Names, read-only and executable bits come back from unzip, 7-Zip and zipfile.
TEST(ZipWriterInterop, NamesAndModesRestoreInUnzipSevenZipAndZipfile) {
    const std::string sevenZip = SevenZipTool();
    if (sevenZip.empty() || !HasTool("unzip") || !HasTool("python3"))
        GTEST_SKIP() << "unzip, 7zz and python3 are needed";
    TempFolder dir;
    WriteFile(dir / "src/Привет мир.txt", "hello");
    WriteFile(dir / "src/read-only.txt", "ro");
    WriteFile(dir / "src/tool.sh", "#!/bin/sh\n");
    WriteFile(dir / "src/back\\slash.txt", "bs");
    fs::permissions(dir / "src/read-only.txt", fs::perms(0444));
    fs::permissions(dir / "src/tool.sh", fs::perms(0755));
    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "a.zip", dir / "src/", 6);
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);
    const auto source = TreeOf(dir / "src");

    const std::vector<std::pair<std::string, std::string>> extractors = {
        {"unzip", "cd %o && unzip -q %a"},
        {"7-Zip", sevenZip + " x -y -o%o %a"},
        {"zipfile", "python3 -c 'import sys,zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' %a %o"}};
    for (const auto& [tool, pattern] : extractors) {
        SCOPED_TRACE(tool);
        const std::string out = dir / ("x-" + tool);
        fs::create_directories(out);
        std::string command = pattern;
        command.replace(command.find("%o"), 2, Quote(out));
        command.replace(command.find("%a"), 2, Quote(dir / "a.zip"));
        const CommandResult result = RunCommand(command);
        ASSERT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(TreeOf(out), source);
        if (tool == "zipfile")
            continue; // zipfile never sets modes when it extracts; its listing is checked below
        EXPECT_EQ(ModeOf(out + "/read-only.txt") & 0222, 0u);
        EXPECT_EQ(ModeOf(out + "/tool.sh") & 0111, 0111u);
    }
    const PyListing listing = ListWithPython(dir / "a.zip");
    ASSERT_TRUE(listing.ok) << listing.message;
    for (const PyEntry& e : listing.entries) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.createSystem, 3);
        const unsigned mode = e.externalAttributes >> 16;
        EXPECT_EQ(mode & 0170000, 0100000u);
        if (e.name == "read-only.txt")
            EXPECT_EQ(mode & 0777, 0444u);
        if (e.name == "tool.sh")
            EXPECT_EQ(mode & 0777, 0755u);
    }
}

// A name that is not UTF-8 cannot come back as itself: it is left out and
// named in the list of left-out files, never stored as another name.
TEST(ZipWriterInterop, NameThatIsNotUtf8IsLeftOutAndReported) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is needed";
    TempFolder dir;
    WriteFile(dir / "src/good.txt", "g");
    WriteFile(dir / "src/bad\xFF\xFE.txt", "b");
    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "a.zip", dir / "src/", 1);
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);
    const PyListing listing = ListWithPython(dir / "a.zip");
    ASSERT_TRUE(listing.ok) << listing.message;
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].name, "good.txt");
    ASSERT_EQ(writer.LeftOutFiles().size(), 1u);
    const TZWLeftOutFile& left = writer.LeftOutFiles()[0];
    EXPECT_EQ(left.path, dir / "src/bad\xFF\xFE.txt");
    EXPECT_EQ(left.reason, TZWLeftOutReason::lrName);
    EXPECT_NE(left.message.find("bad\\xFF\\xFE.txt"), std::string::npos) << left.message;
}

// A file rewritten while it is read must not give a torn entry (old and new
// bytes under a valid CRC): it is read again, and left out when it keeps changing.
TEST(ZipWriterInterop, FileRewrittenWhileReadIsReadAgainOrLeftOut) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is needed";
    for (const bool keepsChanging : {false, true}) {
        SCOPED_TRACE(keepsChanging);
        TempFolder dir;
        const std::string path = dir / "src/big.bin";
        WriteFile(path, RandomBytes(4'000'000, 1));
        WriteFile(dir / "src/other.txt", "other");
        const std::string replacement = RandomBytes(4'000'000, 2);
        int rewrites = 0;
        TZipWriter writer;
        ConfigureAsEngines(writer, dir / "a.zip", dir / "src/", 1);
        writer.SetThreads(1);
        writer.FileMasks() = {"*.*"};
        // Chunks are written while later ones are still read: rewriting the
        // file at its first written chunk lands in the middle of the reading.
        writer.OnFileProgress = [&](TZipWriterBase&, const std::string& name, double, TZWProcessOperation,
                                    TZWProgressPhase phase, bool&) {
            if (name != path || phase != TZWProgressPhase::ppProcess || (rewrites > 0 && !keepsChanging))
                return;
            std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
            file.write(replacement.data(), static_cast<std::streamsize>(replacement.size()));
            file.close();
            SetLocalModificationTime(path, 2001, 1, 1, 0, 0, 2 * (++rewrites % 30));
        };
        WriteArchive(writer);
        ASSERT_GE(rewrites, 1);
        const PyListing listing = ListWithPython(dir / "a.zip");
        ASSERT_TRUE(listing.ok) << listing.message;
        const std::string x = dir / "x";
        ASSERT_EQ(RunCommand("python3 -c " +
                             Quote("import sys,zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])") + " " +
                             Quote(dir / "a.zip") + " " + Quote(x))
                      .exitCode,
                  0);
        EXPECT_EQ(ReadFile(x + "/other.txt"), "other");
        if (keepsChanging) {
            EXPECT_FALSE(fs::exists(x + "/big.bin"));
            ASSERT_EQ(writer.LeftOutFiles().size(), 1u);
            EXPECT_EQ(writer.LeftOutFiles()[0].reason, TZWLeftOutReason::lrChanged);
            EXPECT_NE(writer.LeftOutFiles()[0].message.find(path), std::string::npos);
        } else {
            EXPECT_TRUE(ReadFile(x + "/big.bin") == replacement) << "torn or stale entry";
            EXPECT_TRUE(writer.LeftOutFiles().empty());
        }
    }
}
