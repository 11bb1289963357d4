#include "archive_test_support.h"

#include "os/trash.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using namespace archive_test;

namespace {

// Wine's recycle bin is the freedesktop Trash of $XDG_DATA_HOME; without that
// folder Wine deletes for good. Returns its files/ folder through drive Z:.
std::string WineTrashFiles() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (!data || *data != '/')
        return {};
    std::string path = std::string("Z:") + data + "/Trash/files";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    std::error_code error;
    fs::create_directories(PathFromUtf8(path), error);
    return error ? std::string() : path;
}

} // namespace

TEST(WindowsTrash, MovesFilesAndFoldersIntoTheRecycleBin) {
    const std::string trashFiles = WineTrashFiles();
    if (trashFiles.empty())
        GTEST_SKIP() << "XDG_DATA_HOME is not set to a folder for Wine's recycle bin (scripts/test-windows.sh sets it)";
    TempFolder dir;
    const std::string fileName = "в корзину " + std::to_string(std::random_device{}()) + ".txt";
    const std::string folderName = "папка " + std::to_string(std::random_device{}());
    WriteFile(dir / fileName, "keep me");
    WriteFile(dir / (folderName + "/inner.txt"), "inner");
    for (const std::string& name : {fileName, folderName}) {
        SCOPED_TRACE(name);
        std::string inTrash, error;
        ASSERT_TRUE(os::MoveToTrash(dir / name, inTrash, error)) << error;
        EXPECT_FALSE(fs::exists(PathFromUtf8(dir / name)));
        EXPECT_TRUE(fs::exists(PathFromUtf8(trashFiles + "\\" + name)));
    }
    EXPECT_EQ(ReadFile(trashFiles + "\\" + fileName), "keep me");
    EXPECT_EQ(ReadFile(trashFiles + "\\" + folderName + "\\inner.txt"), "inner");
}

TEST(WindowsTrash, MissingItemIsRefusedWithAReason) {
    TempFolder dir;
    std::string inTrash, error;
    EXPECT_FALSE(os::MoveToTrash(dir / "missing.txt", inTrash, error));
    EXPECT_FALSE(error.empty());
}
