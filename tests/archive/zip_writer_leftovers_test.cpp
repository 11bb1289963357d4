#include "archive_test_support.h"

#include "archive/writer_leftovers.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "os/dir_listing.h"

#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace archive_test;

TEST(ZipWriterLeftovers, TemporaryNamesAreRecognised) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"tmplumozip0.zip.~1a2b3c4d", true}, {"a.zip.~00000000", true},   {"a.zip", false},
        {"a.zip.~1a2b3c4", false},           {"a.zip.~1a2b3c4dd", false}, {"a.zip.~1A2B3C4D", false},
        {".~1a2b3c4d", false},               {"notes.~txt", false}};
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(archive::IsWriterTemporaryName(name), expected) << name;
}

// A run killed while it writes leaves its temporary file; the next run removes
// it and nothing else.
TEST(ZipWriterLeftovers, LeftoversOfAKilledWriterAreRemoved) {
#ifdef _WIN32
    GTEST_SKIP() << "a writer is killed mid-run through fork(), which Windows does not have";
#else
    TempFolder dir;
    WriteFile(dir / "src/a.bin", RandomBytes(100'000, 3));
    WriteFile(dir / "out/keep.zip", "kept");
    WriteFile(dir / "out/notes.~txt", "kept");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TZipWriter writer;
        ConfigureAsEngines(writer, dir / "out/tmplumozip0.zip", dir / "src/", 1);
        writer.FileMasks() = {"*.*"};
        writer.OpenArchive();
        writer.AddFiles();
        ::_exit(0); // as a kill: no destructor runs
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    std::size_t temporaries = 0;
    for (const std::string& name : FileNamesIn(dir / "out"))
        temporaries += archive::IsWriterTemporaryName(name) ? 1 : 0;
    ASSERT_EQ(temporaries, 1u);

    std::string error;
    EXPECT_TRUE(archive::RemoveWriterLeftovers(dir / "out", error)) << error;
    EXPECT_EQ(FileNamesIn(dir / "out"), (std::vector<std::string>{"keep.zip", "notes.~txt"}));
#endif
}

TEST(ZipWriterLeftovers, UnlistableFolderIsReportedWithItsCause) {
    TempFolder dir;
    std::string error;
    EXPECT_FALSE(archive::RemoveWriterLeftovers(dir / "missing", error));
    EXPECT_NE(error.find(dir / "missing"), std::string::npos) << error;
#ifdef _WIN32
    EXPECT_NE(error.find(os::ListErrorText(ERROR_PATH_NOT_FOUND)), std::string::npos) << error;
#else
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
#endif
}
