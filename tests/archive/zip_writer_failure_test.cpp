#include "archive_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

using namespace archive_test;

namespace {

class FailingSources : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 30; ++i)
            WriteFile(fDir / ("src/a" + std::to_string(100 + i) + ".txt"), "file " + std::to_string(i));
        WriteFile(fDir / "src/zz.txt", "last");
        WriteFile(Archive(), "old archive");
    }

    void Configure(TZipWriter& writer) {
        ConfigureAsEngines(writer, Archive(), fDir / "src/", 6);
        writer.SetThreads(1);
        writer.FileMasks() = {"*.*"};
        writer.OnProcessFileFailure = [this](TZipWriterBase&, const std::string& name, TZWProcessOperation, int, int,
                                             const std::string&, TZWAction& action) {
            fFailures.push_back(name);
            action = fAnswer;
        };
    }

    std::vector<std::string> Names() const {
        const PyListing listing = ListWithPython(Archive());
        EXPECT_TRUE(listing.ok) << listing.message;
        std::vector<std::string> names;
        for (const PyEntry& e : listing.entries)
            names.push_back(e.name);
        return names;
    }

    void ExpectOldArchiveAndNoTemporaryFile() const {
        EXPECT_EQ(ReadFile(Archive()), "old archive");
        EXPECT_EQ(FileNamesIn(fDir / ""), (std::vector<std::string>{"a.zip", "src"}));
    }

    std::string Archive() const { return fDir / "a.zip"; }

    TempFolder fDir;
    std::vector<std::string> fFailures;
    TZWAction fAnswer = TZWAction::fxaIgnore;
};

// A source that is listed but cannot be read: a FIFO on POSIX, a file another
// program holds open without sharing on Windows.
class UnreadableSource {
public:
    explicit UnreadableSource(const std::string& path) {
#ifdef _WIN32
        fHandle = ::CreateFileW(PathFromUtf8(path).wstring().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        fMade = fHandle != INVALID_HANDLE_VALUE;
#else
        fMade = ::mkfifo(path.c_str(), 0600) == 0;
#endif
    }
    ~UnreadableSource() {
#ifdef _WIN32
        if (fMade)
            ::CloseHandle(fHandle);
#endif
    }
    UnreadableSource(const UnreadableSource&) = delete;
    UnreadableSource& operator=(const UnreadableSource&) = delete;
    bool Made() const { return fMade; }

private:
    bool fMade = false;
#ifdef _WIN32
    HANDLE fHandle = INVALID_HANDLE_VALUE;
#endif
};

} // namespace

TEST_F(FailingSources, FifoIsLeftOutAndTheRestIsArchived) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    const UnreadableSource fifo(fDir / "src/b-fifo");
    ASSERT_TRUE(fifo.Made());
    TZipWriter writer;
    Configure(writer);
    WriteArchive(writer);
    EXPECT_EQ(fFailures, std::vector<std::string>{fDir / "src/b-fifo"});
    const std::vector<std::string> names = Names();
    EXPECT_EQ(names.size(), 31u);
    EXPECT_EQ(std::count(names.begin(), names.end(), "b-fifo"), 0);
}

TEST_F(FailingSources, FileRemovedAfterListingIsLeftOut) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    TZipWriter writer;
    Configure(writer);
    // The first progress event comes long before the last file is opened.
    writer.OnFileProgress = [this](TZipWriterBase&, const std::string&, double, TZWProcessOperation,
                                   TZWProgressPhase, bool&) { fs::remove(fDir / "src/zz.txt"); };
    WriteArchive(writer);
    EXPECT_EQ(fFailures, std::vector<std::string>{fDir / "src/zz.txt"});
    const std::vector<std::string> names = Names();
    EXPECT_EQ(names.size(), 30u);
    EXPECT_EQ(std::count(names.begin(), names.end(), "zz.txt"), 0);
}

TEST_F(FailingSources, RetryReadsTheFileAgain) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    fs::remove(fDir / "src/zz.txt");
    fs::create_symlink(fDir / "src/missing", fDir / "src/zz.txt"); // dangling until the retry
    TZipWriter writer;
    Configure(writer);
    writer.OnProcessFileFailure = [this](TZipWriterBase&, const std::string& name, TZWProcessOperation, int, int,
                                         const std::string&, TZWAction& action) {
        fFailures.push_back(name);
        WriteFile(fDir / "src/missing", "now it exists");
        action = TZWAction::fxaRetry;
    };
    WriteArchive(writer);
    EXPECT_EQ(fFailures.size(), 1u);
    const std::vector<std::string> names = Names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "zz.txt"), 1);
}

TEST_F(FailingSources, AbortAnswerFailsAndKeepsTheOldArchive) {
    const UnreadableSource fifo(fDir / "src/b-fifo");
    ASSERT_TRUE(fifo.Made());
    fAnswer = TZWAction::fxaAbort;
    TZipWriter writer;
    Configure(writer);
    writer.OpenArchive();
    EXPECT_THROW(writer.AddFiles(), EZipWriterError);
    EXPECT_FALSE(writer.IsOpen());
    writer.CloseArchive();
    ExpectOldArchiveAndNoTemporaryFile();
}

TEST_F(FailingSources, StopLeavesNoTemporaryFileAndTheOldArchive) {
    WriteFile(fDir / "src/big.bin", RandomBytes(3'000'000, 5));
    enum class StopBy { Cancel, Flag, SplitCancel };
    for (const StopBy how : {StopBy::Cancel, StopBy::Flag, StopBy::SplitCancel}) {
        SCOPED_TRACE(static_cast<int>(how));
        std::atomic<bool> stop{false};
        TZipWriter writer;
        Configure(writer);
        writer.SetThreads(2);
        writer.SetStopFlag(&stop);
        if (how == StopBy::SplitCancel) {
            writer.SetSpanningMode(TZWSpanningMode::smSplitting);
            writer.SpanningOptions().VolumeSize = TZWVolumeSize::vsCustom;
            writer.SpanningOptions().CustomVolumeSize = 65'536;
        }
        int chunks = 0;
        writer.OnOverallProgress = [&](TZipWriterBase&, double, TZWProcessOperation, TZWProgressPhase phase,
                                       bool& cancel) {
            if (phase == TZWProgressPhase::ppProcess && ++chunks == 20) {
                if (how == StopBy::Flag)
                    stop = true;
                else
                    cancel = true;
            }
        };
        writer.OpenArchive();
        EXPECT_THROW(writer.AddFiles(), EZipWriterError);
        writer.SetInMemory(false);
        writer.CloseArchive();
        ExpectOldArchiveAndNoTemporaryFile();
    }
}

TEST(ZipWriterFailure, MissingTargetFolderFailsAtOpen) {
    TempFolder dir;
    TZipWriter writer;
    writer.SetFileName(dir / "no/such/folder/a.zip");
    EXPECT_THROW(writer.OpenArchive(), EZipWriterError);
    EXPECT_FALSE(writer.IsOpen());
}

// Only CloseArchive commits: a writer given up on keeps the previous archive.
TEST(ZipWriterFailure, DestroyingAnOpenWriterDiscardsItAndKeepsThePreviousArchive) {
    TempFolder dir;
    WriteFile(dir / "src/a.txt", "a");
    WriteFile(dir / "a.zip", "previous archive");
    {
        TZipWriter writer;
        ConfigureAsEngines(writer, dir / "a.zip", dir / "src/", 6);
        writer.FileMasks() = {"*.*"};
        writer.OpenArchive();
        writer.AddFiles();
    }
    EXPECT_EQ(FileNamesIn(dir / ""), (std::vector<std::string>{"a.zip", "src"}));
    EXPECT_EQ(ReadFile(dir / "a.zip"), "previous archive");
}
