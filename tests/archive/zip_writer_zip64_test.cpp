#include "archive_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

using namespace archive_test;

namespace {

bool Contains(const std::string& bytes, const char* signature) {
    return bytes.find(std::string(signature, 4)) != std::string::npos;
}

} // namespace

TEST(ZipWriterZip64, MoreThan65534EntriesGetZip64EndRecords) {
    // Where the readers cannot run from the test (Windows under Wine), the
    // archive goes to the export folder and is checked on the Linux side.
    const bool readersHere = HasTool("python3") && HasTool("unzip");
    if (!readersHere && ExportFolder().empty())
        GTEST_SKIP() << "python3 and unzip are needed (scripts/install-deps.sh installs them), "
                        "or NORVANE_ARCHIVE_EXPORT_DIR for the readers outside";
    TempFolder dir;
    constexpr int kFiles = 65'600;
    std::vector<ExpectedEntry> expected;
    for (int folder = 0; folder < 41; ++folder) {
        const std::string name = "d" + std::to_string(folder);
        const std::string path = dir / ("src/" + name);
        fs::create_directories(PathFromUtf8(path));
        expected.push_back({name + "/", ""});
        for (int i = folder * 1600; i < std::min(kFiles, (folder + 1) * 1600); ++i) {
            std::ofstream(PathFromUtf8(path + "/" + std::to_string(i))).put('x');
            expected.push_back({name + "/" + std::to_string(i), "x"});
        }
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

    if (!readersHere) {
        ExportForExternalReaders(dir / "many.zip", expected);
        return;
    }
    const PyListing listing = ListWithPython(dir / "many.zip");
    ASSERT_TRUE(listing.ok) << listing.message;
    EXPECT_EQ(listing.entries.size(), expected.size());
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
