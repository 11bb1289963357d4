#include "archive_test_support.h"

#include "os/dir_listing.h"
#include "os/platform.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace archive_test;

TEST(WindowsAtomicWrite, ReplacesTheContentAndLeavesNoTemporaryFile) {
    TempFolder dir;
    const std::string target = dir / "Backup.ini";
    std::string error;
    ASSERT_TRUE(os::WriteFileAtomically(target, "first", error)) << error;
    ASSERT_TRUE(os::WriteFileAtomically(target, "второй", error)) << error;
    EXPECT_EQ(ReadFile(target), "второй");
    EXPECT_EQ(FileNamesIn(dir / ""), std::vector<std::string>{"Backup.ini"});
}

// Another program's "<target>.tmp" beside the target is neither overwritten
// nor moved over the target, and does not block the write.
TEST(WindowsAtomicWrite, LeavesAnExistingTmpFileAlone) {
    TempFolder dir;
    const std::string target = dir / "Backup.ini";
    WriteFile(dir / "Backup.ini.tmp", "someone else's");
    std::string error;
    ASSERT_TRUE(os::WriteFileAtomically(target, "new", error)) << error;
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(ReadFile(dir / "Backup.ini.tmp"), "someone else's");

    fs::create_directory(dir.Path() / "Folder.ini.tmp");
    EXPECT_TRUE(os::WriteFileAtomically(dir / "Folder.ini", "also", error)) << error;
    EXPECT_EQ(ReadFile(dir / "Folder.ini"), "also");
}

TEST(WindowsAtomicWrite, MissingFolderFailsWithTheCause) {
    TempFolder dir;
    std::string error;
    EXPECT_FALSE(os::WriteFileAtomically(dir / "missing/Backup.ini", "x", error));
    EXPECT_NE(error.find(dir / "missing/Backup.ini"), std::string::npos) << error;
    EXPECT_NE(error.find(os::ListErrorText(ERROR_PATH_NOT_FOUND)), std::string::npos) << error;
}

TEST(WindowsPlatform, ExecutablePathNamesThisTest) {
    const std::string path = os::ExecutablePath();
    EXPECT_NE(path.find("test_os_win.exe"), std::string::npos) << path;
}
