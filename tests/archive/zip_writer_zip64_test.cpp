#include "archive_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace archive_test;

namespace {

bool Contains(const std::string& bytes, const char* signature) {
    return bytes.find(std::string(signature, 4)) != std::string::npos;
}

} // namespace

TEST(ZipWriterZip64, MoreThan65534EntriesGetZip64EndRecords) {
    if (!HasTool("python3") || !HasTool("unzip"))
        GTEST_SKIP() << "python3 and unzip are needed (scripts/install-deps.sh installs them)";
    TempFolder dir;
    constexpr int kFiles = 65'600;
    for (int folder = 0; folder < 41; ++folder) {
        const std::string path = dir / ("src/d" + std::to_string(folder));
        fs::create_directories(path);
        for (int i = folder * 1600; i < std::min(kFiles, (folder + 1) * 1600); ++i)
            std::ofstream(path + "/" + std::to_string(i)).put('x');
    }
    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "many.zip", dir / "src/", 0);
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);

    const std::string bytes = ReadFile(dir / "many.zip");
    EXPECT_TRUE(Contains(bytes, "PK\x06\x06")) << "no Zip64 end record";
    EXPECT_TRUE(Contains(bytes, "PK\x06\x07")) << "no Zip64 locator";
    // The classic end record says "see Zip64" for the entry counts.
    const std::string end = bytes.substr(bytes.size() - 22);
    EXPECT_EQ(end.substr(8, 4), std::string("\xFF\xFF\xFF\xFF", 4));

    const PyListing listing = ListWithPython(dir / "many.zip");
    ASSERT_TRUE(listing.ok) << listing.message;
    EXPECT_EQ(listing.entries.size(), static_cast<std::size_t>(kFiles + 41));
    const CommandResult unzip = RunCommand("unzip -tq " + Quote(dir / "many.zip"));
    EXPECT_EQ(unzip.exitCode, 0) << unzip.output.substr(0, 2000);
}

TEST(ZipWriterZip64, FewEntriesNeedNoZip64Records) {
    TempFolder dir;
    WriteFile(dir / "src/a.txt", "a");
    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "a.zip", dir / "src/", 6);
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);
    const std::string bytes = ReadFile(dir / "a.zip");
    EXPECT_FALSE(Contains(bytes, "PK\x06\x06"));
    EXPECT_FALSE(Contains(bytes, "PK\x06\x07"));
}

// Slow (several GiB to compress): run with --gtest_also_run_disabled_tests.
TEST(ZipWriterZip64, DISABLED_FileLargerThan4GiB) {
    if (!HasTool("unzip") || !HasTool("python3"))
        GTEST_SKIP() << "unzip and python3 are needed";
    TempFolder dir;
    const std::string big = dir / "src/big.bin";
    WriteFile(big, "");
    fs::resize_file(big, (4ull << 30) + 12345); // sparse zeros
    WriteFile(dir / "src/after.txt", "after the big one");
    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "big.zip", dir / "src/", 1);
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);
    const CommandResult unzip = RunCommand("unzip -t " + Quote(dir / "big.zip"));
    EXPECT_EQ(unzip.exitCode, 0) << unzip.output;
    const CommandResult python = RunCommand(
        "python3 -c " +
        Quote("import sys,zipfile;z=zipfile.ZipFile(sys.argv[1]);"
              "print(z.getinfo('big.bin').file_size, z.read('after.txt').decode())") +
        " " + Quote(dir / "big.zip"));
    EXPECT_EQ(python.output, std::to_string((4ull << 30) + 12345) + " after the big one\n");
}
