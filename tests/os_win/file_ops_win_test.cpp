#include "archive_test_support.h"

#include "os/file_ops.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace archive_test;

namespace {

void SetReadOnly(const std::string& path) {
    ASSERT_TRUE(SetFileAttributesW(PathFromUtf8(path).wstring().c_str(), FILE_ATTRIBUTE_READONLY)) << path;
}

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

constexpr std::int64_t kSecond = 1'000'000'000;

} // namespace

TEST(WindowsFileOps, StatusOfFilesFoldersAndMissingPaths) {
    TempFolder dir;
    WriteFile(dir / "Файл.txt", "12345");
    WriteFile(dir / "ro.txt", "r");
    SetReadOnly(dir / "ro.txt");
    const os::PathStatus file = os::StatusOf(dir / "Файл.txt");
    EXPECT_EQ(file.kind, os::PathKind::File);
    EXPECT_EQ(file.size, 5);
    EXPECT_FALSE(file.readOnly);
    EXPECT_GT(file.modifiedNs, 0);
    EXPECT_TRUE(os::StatusOf(dir / "ro.txt").readOnly);
    EXPECT_EQ(os::StatusOf(dir / "").kind, os::PathKind::Folder);
    EXPECT_EQ(os::StatusOf(dir / "missing").kind, os::PathKind::Missing);
    EXPECT_EQ(os::StatusOf(dir / "missing/below").kind, os::PathKind::Missing);
}

TEST(WindowsFileOps, CopyIntoANewFileCarriesContentTimesAndReadOnlyState) {
    TempFolder dir;
    const std::string content = RandomBytes(3'000'000, 11);
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "writable");
        const std::string source = dir / (readOnly ? "ro-Квартал.bin" : "Квартал.bin");
        WriteFile(source, content);
        const std::int64_t modified = 1'600'000'000 * kSecond + 123'456'700;
        const std::int64_t accessed = 1'650'000'000 * kSecond;
        if (readOnly)
            SetReadOnly(source);
        fs::create_directories(dir.Path() / "out");
        // Blocks of several sizes, the same buffer reused between copies.
        for (const std::int64_t block : {std::int64_t{0}, std::int64_t{4096}, std::int64_t{1} << 21, std::int64_t{777}}) {
            // Each copy reads the source, which moves its access time.
            ASSERT_TRUE(os::SetPathTimes(source, accessed, modified));
            const os::HeldFolder out(dir / "out/");
            ASSERT_TRUE(out.ok()) << out.errorText();
            const std::string temp = dir / "out/copy.bin";
            const os::CopyReport report = os::CopyIntoFolder(source, out, "copy.bin", {"~tmp", block, nullptr});
            ASSERT_EQ(report.result, os::CopyResult::Ok) << report.errorText;
            // Before reading it back, which moves the access time.
            const os::PathStatus written = os::StatusOf(temp);
            EXPECT_EQ(written.modifiedNs, modified);
            // Wine (8.0) keeps no access time set through SetFileTime, not even the source's.
            if (!RunningUnderWine()) {
                EXPECT_EQ(written.accessedNs, accessed);
            }
            EXPECT_EQ(written.readOnly, readOnly);
            EXPECT_EQ(written.size, static_cast<std::int64_t>(content.size()));
            EXPECT_EQ(written.inode, report.inode);
            EXPECT_EQ(ReadFile(temp), content);
            SetFileAttributesW(PathFromUtf8(temp).wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_TRUE(os::RemoveFile(temp));
        }
    }
}

TEST(WindowsFileOps, CopyReportsProgressAndStopsWhenAsked) {
    TempFolder dir;
    WriteFile(dir / "big.bin", RandomBytes(1'000'000, 3));
    fs::create_directories(dir.Path() / "out");
    std::vector<std::int64_t> reports;
    const os::HeldFolder out(dir / "out/");
    const os::CopyReport report = os::CopyIntoFolder(dir / "big.bin", out, "big.bin",
                                                     {"~tmp", 100'000, [&](std::int64_t done) {
                                                          reports.push_back(done);
                                                          return reports.size() < 3;
                                                      }});
    EXPECT_EQ(report.result, os::CopyResult::Stopped);
    EXPECT_EQ(reports, (std::vector<std::int64_t>{100'000, 200'000, 300'000}));
    EXPECT_TRUE(FileNamesIn(dir / "out").empty());
}

TEST(WindowsFileOps, RenameReplacesPlainAndReadOnlyFiles) {
    TempFolder dir;
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "plain");
        WriteFile(dir / "new.txt", "new");
        WriteFile(dir / "old.txt", "old");
        if (readOnly)
            SetReadOnly(dir / "old.txt");
        EXPECT_TRUE(os::RenameReplacing(dir / "new.txt", dir / "old.txt"));
        EXPECT_EQ(ReadFile(dir / "old.txt"), "new");
        EXPECT_EQ(os::StatusOf(dir / "new.txt").kind, os::PathKind::Missing);
    }
}

TEST(WindowsFileOps, RemoveTreeTakesReadOnlyEntries) {
    TempFolder dir;
    WriteFile(dir / "tree/a.txt", "a");
    WriteFile(dir / "tree/Папка/b.txt", "b");
    WriteFile(dir / "tree/Папка/deeper/c.txt", "c");
    SetReadOnly(dir / "tree/a.txt");
    SetReadOnly(dir / "tree/Папка/deeper/c.txt");
    SetReadOnly(dir / "tree/Папка/deeper");
    EXPECT_TRUE(os::RemoveTree(dir / "tree"));
    EXPECT_EQ(os::StatusOf(dir / "tree").kind, os::PathKind::Missing);
}

TEST(WindowsFileOps, MakeFoldersAndUniqueFiles) {
    TempFolder dir;
    EXPECT_TRUE(os::MakeFolders(dir / "a/b/c"));
    EXPECT_EQ(os::StatusOf(dir / "a/b/c").kind, os::PathKind::Folder);
    EXPECT_TRUE(os::MakeFoldersBelow(dir / "root", "x\\y"));
    EXPECT_EQ(os::StatusOf(dir / "root/x/y").kind, os::PathKind::Folder);
    std::string first, second;
    ASSERT_TRUE(os::CreateUniqueFile(dir / "a/", "~u", first));
    ASSERT_TRUE(os::CreateUniqueFile(dir / "a/", "~u", second));
    EXPECT_NE(first, second);
    EXPECT_EQ(os::StatusOf(first).kind, os::PathKind::File);
}
