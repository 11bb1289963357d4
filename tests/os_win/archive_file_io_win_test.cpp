#include "archive_test_support.h"

#include "archive/file_io.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace archive_test;

namespace {

// False where links cannot be made: without the privilege, or under Wine 8,
// whose CreateSymbolicLinkW reports success and makes nothing.
bool MakeLink(const std::string& target, const std::string& link, bool folder) {
    const DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    const std::wstring linkPath = PathFromUtf8(link).wstring();
    return CreateSymbolicLinkW(linkPath.c_str(), PathFromUtf8(target).wstring().c_str(), flags) &&
           GetFileAttributesW(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

// The writer follows links: a link to a file reads as that file, with its size.
TEST(WindowsArchiveFileIo, LinksAreFollowed) {
    TempFolder dir;
    WriteFile(dir / "target.txt", std::string(1234, 't'));
    fs::create_directories(dir.Path() / "folder");
    if (!MakeLink(dir / "target.txt", dir / "link.txt", false) || !MakeLink(dir / "folder", dir / "folder-link", true))
        GTEST_SKIP() << "symbolic links cannot be created here (Wine 8 does not make them)";
    const archive::FileFacts file = archive::QueryFile(dir / "link.txt");
    EXPECT_TRUE(file.isLink);
    EXPECT_EQ(file.kind, archive::FileKind::File);
    EXPECT_EQ(file.size, 1234u);
    const archive::FileFacts folder = archive::QueryFile(dir / "folder-link");
    EXPECT_TRUE(folder.isLink);
    EXPECT_EQ(folder.kind, archive::FileKind::Folder);

    std::vector<archive::FolderItem> items;
    std::string error;
    ASSERT_TRUE(archive::ListFolder(dir / "", items, error)) << error;
    for (const archive::FolderItem& item : items) {
        if (item.name == "link.txt") {
            EXPECT_TRUE(item.facts.isLink);
            EXPECT_EQ(item.facts.size, 1234u);
        }
    }
}

TEST(WindowsArchiveFileIo, PlainFilesAndFoldersAreNoLinks) {
    TempFolder dir;
    WriteFile(dir / "Файл.txt", "12345");
    const archive::FileFacts file = archive::QueryFile(dir / "Файл.txt");
    EXPECT_FALSE(file.isLink);
    EXPECT_EQ(file.kind, archive::FileKind::File);
    EXPECT_EQ(file.size, 5u);
    EXPECT_EQ(archive::QueryFile(dir / "").kind, archive::FileKind::Folder);
    EXPECT_EQ(archive::QueryFile(dir / "missing").kind, archive::FileKind::Missing);
}

TEST(WindowsArchiveFileIo, ErrorsCarryTheSystemText) {
    TempFolder dir;
    std::vector<archive::FolderItem> items;
    std::string error;
    EXPECT_FALSE(archive::ListFolder(dir / "missing/deeper", items, error));
    EXPECT_EQ(error.find("Windows error"), std::string::npos) << error;
    EXPECT_NE(error.find(dir / "missing/deeper"), std::string::npos) << error;
}
