#include "archive_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace archive_test;

// A link to a folder is archived as the folder with its content, inside the
// source or outside it; a link back to a folder on its own path would never
// end and is left out and reported, wherever the walk meets it.
TEST(ZipWriterLinks, LinkedFolderIsArchivedWithItsContentAndALoopIsLeftOut) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is needed";
    TempFolder dir;
    WriteFile(dir / "src/real/a.txt", "a");
    WriteFile(dir / "src/real/sub/b.txt", "b");
    WriteFile(dir / "elsewhere/c.txt", "c");
    fs::create_directory_symlink("real", dir / "src/link");
    fs::create_directory_symlink(dir / "elsewhere", dir / "src/outside");
    fs::create_directory_symlink("..", dir / "src/real/sub/back");

    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "a.zip", dir / "src/", 1);
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);

    const PyListing listing = ListWithPython(dir / "a.zip");
    ASSERT_TRUE(listing.ok) << listing.message;
    std::vector<std::string> names;
    for (const PyEntry& entry : listing.entries)
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected;
    for (const char* folder : {"link/", "real/"})
        for (const char* name : {"", "a.txt", "sub/", "sub/b.txt"})
            expected.push_back(std::string(folder) + name);
    expected.push_back("outside/");
    expected.push_back("outside/c.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);

    std::vector<std::string> leftOut;
    for (const TZWLeftOutFile& left : writer.LeftOutFiles()) {
        EXPECT_EQ(left.reason, TZWLeftOutReason::lrLoop) << left.message;
        EXPECT_NE(left.message.find(left.path), std::string::npos) << left.message;
        leftOut.push_back(left.path);
    }
    std::sort(leftOut.begin(), leftOut.end());
    EXPECT_EQ(leftOut, (std::vector<std::string>{dir / "src/link/sub/back", dir / "src/real/sub/back"}));
}
