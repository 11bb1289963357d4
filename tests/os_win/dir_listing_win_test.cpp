#include "archive_test_support.h"

#include "os/dir_listing.h"
#include "os/file_attributes.h"
#include "os/win/reparse_kind.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

using namespace archive_test;

namespace {

struct Seen {
    os::EntryKind kind;
    std::int64_t size;
    std::uint32_t attributes;
};

std::map<std::string, Seen> List(const std::string& folder, int& error) {
    std::map<std::string, Seen> seen;
    error = os::ListFolder(folder, [&](const os::DirEntry& e) {
        seen[std::string(e.name)] = {e.kind, e.size, e.attributes};
        return true;
    });
    return seen;
}

} // namespace

TEST(WindowsListing, ReportsUtf8NamesKindsSizesAndAttributes) {
    TempFolder dir;
    WriteFile(dir / "Привет.txt", "12345");
    WriteFile(dir / "日本語/inner.txt", "x");
    WriteFile(dir / "emoji 😀.bin", std::string(70'000, 'e'));
    WriteFile(dir / "locked.txt", "r");
    ASSERT_TRUE(SetFileAttributesW(PathFromUtf8(dir / "locked.txt").wstring().c_str(), FILE_ATTRIBUTE_READONLY));
    for (const std::string& folder : {dir / "", Utf8Of(dir.Path())}) {
        SCOPED_TRACE(folder);
        int error = -1;
        const std::map<std::string, Seen> seen = List(folder, error);
        EXPECT_EQ(error, 0);
        ASSERT_EQ(seen.size(), 4u);
        EXPECT_EQ(seen.at("Привет.txt").kind, os::EntryKind::File);
        EXPECT_EQ(seen.at("Привет.txt").size, 5);
        EXPECT_EQ(seen.at("日本語").kind, os::EntryKind::Folder);
        EXPECT_NE(seen.at("日本語").attributes & os::kAttrDirectory, 0u);
        EXPECT_EQ(seen.at("emoji 😀.bin").size, 70'000);
        EXPECT_NE(seen.at("locked.txt").attributes & os::kAttrReadOnly, 0u);
        EXPECT_EQ(seen.at("Привет.txt").attributes & os::kAttrReadOnly, 0u);
    }
}

TEST(WindowsListing, MissingFolderReportsTheSystemError) {
    TempFolder dir;
    const int error = os::ListFolder(dir / "missing", [](const os::DirEntry&) { return true; });
    EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(os::ListErrorText(error).empty());
    EXPECT_EQ(os::RegularFileSize(dir / "missing"), 0);
}

TEST(WindowsListing, StopsWhenTheVisitorSaysSo) {
    TempFolder dir;
    for (int i = 0; i < 5; ++i)
        WriteFile(dir / ("f" + std::to_string(i)), "x");
    int visits = 0;
    EXPECT_EQ(os::ListFolder(dir / "", [&](const os::DirEntry&) { return ++visits < 2; }), 0);
    EXPECT_EQ(visits, 2);
}

// Wine cannot make reparse points, so the listing's classification is checked
// on its own: only symbolic links and junctions are links.
TEST(WindowsListing, OnlySymbolicLinksAndJunctionsAreListedAsLinks) {
    constexpr DWORD kReparse = FILE_ATTRIBUTE_REPARSE_POINT;
    struct Case {
        DWORD attributes;
        DWORD tag;
        os::EntryKind expected;
    };
    const std::vector<Case> cases = {
        {FILE_ATTRIBUTE_ARCHIVE, 0, os::EntryKind::File},
        {FILE_ATTRIBUTE_DIRECTORY, 0, os::EntryKind::Folder},
        {kReparse, IO_REPARSE_TAG_SYMLINK, os::EntryKind::SymLink},
        {kReparse | FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_SYMLINK, os::EntryKind::SymLink},
        {kReparse | FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_MOUNT_POINT, os::EntryKind::SymLink},
        {kReparse | FILE_ATTRIBUTE_ARCHIVE, IO_REPARSE_TAG_DEDUP, os::EntryKind::File},
        {kReparse | FILE_ATTRIBUTE_OFFLINE, IO_REPARSE_TAG_CLOUD_6, os::EntryKind::File},
        {kReparse | FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_CLOUD_6, os::EntryKind::Folder},
        {kReparse, IO_REPARSE_TAG_WOF, os::EntryKind::File},
    };
    for (const Case& c : cases)
        EXPECT_EQ(os::win::ListedKind(c.attributes, c.tag), c.expected) << std::hex << c.attributes << " " << c.tag;
}
