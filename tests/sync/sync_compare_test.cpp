#include "sync_run_support.h"

namespace {

struct TimeCase {
    const char* name;
    int sourceSize;
    int storageSize;
    qint64 deltaMs;
    bool checkDateAndSize;
    TLumo_FileStatus expected; // flsOk: nothing listed
};

class SyncCompareTimes : public SyncRunTest, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(SyncCompareTimes, ClassifiesFilesOfTheSameRelativePath) {
    const TimeCase& c = GetParam();
    Write(src() + "a.txt", QByteArray(c.sourceSize, 'x'));
    Write(dst() + "a.txt", QByteArray(c.storageSize, 'y'));
    SetTime(src() + "a.txt", 10000 + c.deltaMs);
    SetTime(dst() + "a.txt", 10000);
    TSyncSettings settings;
    settings.nCheckSizeAndDate = c.checkDateAndSize;
    TLumo_Sync& sync = MakeSync(settings);
    RunAndWait(sync, true);
    const auto entries = Entries(sync);
    if (c.expected == TLumo_FileStatus::flsOk) {
        EXPECT_TRUE(entries.empty());
    } else {
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries.at("a.txt"), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SyncCompareTimes,
    ::testing::Values(TimeCase{"equal", 10, 10, 0, true, TLumo_FileStatus::flsOk},
                      TimeCase{"apart1500", 10, 10, 1500, true, TLumo_FileStatus::flsOk},
                      TimeCase{"apart1999", 10, 10, -1999, true, TLumo_FileStatus::flsOk},
                      TimeCase{"apart2000", 10, 10, 2000, true, TLumo_FileStatus::flsModified},
                      TimeCase{"before2000", 10, 10, -2000, true, TLumo_FileStatus::flsModified},
                      TimeCase{"apart2000SizeOnly", 10, 10, 2000, false, TLumo_FileStatus::flsOk},
                      TimeCase{"sizeDiffers", 10, 11, 0, true, TLumo_FileStatus::flsModified},
                      TimeCase{"sizeDiffersSizeOnly", 10, 11, 0, false, TLumo_FileStatus::flsModified}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SyncRunTest, LetterCaseMakesANewEntryAndOneToDelete) {
    Write(src() + "Report.doc", "1");
    Write(dst() + "report.doc", "1");
    TLumo_Sync& sync = MakeSync();
    RunAndWait(sync, true);
    const std::map<QString, TLumo_FileStatus> expected{{"Report.doc", TLumo_FileStatus::flsNew},
                                                       {"report.doc", TLumo_FileStatus::flsToDelete}};
    EXPECT_EQ(Entries(sync), expected);
}

TEST_F(SyncRunTest, FolderAgainstFileOfTheSamePathIsNewAndToDelete) {
    QDir().mkpath(src() + "item");
    Write(dst() + "item", "file");
    TLumo_Sync& sync = MakeSync();
    RunAndWait(sync, true);
    ASSERT_EQ(sync.ResultElements().size(), 2u);
    const TSyncFileElement& first = **sync.ResultElements().begin();
    const TSyncFileElement& second = **std::next(sync.ResultElements().begin());
    EXPECT_TRUE(first.IsFolder);
    EXPECT_EQ(first.Status, TLumo_FileStatus::flsNew);
    EXPECT_FALSE(second.IsFolder);
    EXPECT_EQ(second.Status, TLumo_FileStatus::flsToDelete);
}

TEST_F(SyncRunTest, PairsWithOverlappingStorageDoNotMatchEachOther) {
    // Both pairs share the storage folder: each pair sees the other's file as one to delete.
    Write(sandbox.file("s1/one.txt"), "1");
    Write(sandbox.file("s2/two.txt"), "2");
    Write(dst() + "one.txt", "1");
    SetTime(sandbox.file("s1/one.txt"), 0);
    SetTime(dst() + "one.txt", 0);
    TSyncSettings settings;
    settings.nValueList << sandbox.file("s1/") << dst() << sandbox.file("s2/") << dst();
    TLumo_Sync& sync = MakeSync(settings);
    RunAndWait(sync, true);
    std::vector<std::pair<QString, TLumo_FileStatus>> listed;
    for (const auto& element : sync.ResultElements())
        listed.emplace_back(element->SepPath + "@" + QString::number(element->ListIndex), element->Status);
    const std::vector<std::pair<QString, TLumo_FileStatus>> expected{
        {"two.txt@1", TLumo_FileStatus::flsNew}, {"one.txt@1", TLumo_FileStatus::flsToDelete}};
    EXPECT_EQ(listed, expected);
}

TEST_F(SyncRunTest, AnalysisOnlyCountsAndChangesNothing) {
    Write(src() + "a.bin", QByteArray(512 * 1024, 'a'));
    Write(src() + "b.bin", QByteArray(512 * 1024, 'b'));
    Write(src() + "sub/c.bin", QByteArray(512 * 1024, 'c'));
    TLumo_Sync& sync = MakeSync();
    RunAndWait(sync, true);
    // Three files and the folder sub: 4 entries, 1.5 mb.
    EXPECT_EQ(sync.ResultText(), "Analysis: Update - 4 [1.5 mb]  |  To remove - 0 [0 b]");
    EXPECT_TRUE(FilesBelow(dst()).isEmpty());
    EXPECT_EQ(sync.LastActive(), 0.0);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(sync.SyncStatus(), TLumo_Operation::fsNone);
    EXPECT_EQ(sync.Profile()->Status(), TTaskStatus::tsNone);
}

TEST_F(SyncRunTest, ExclusionsAndSizeLimitApplyToBothSides) {
    Write(src() + "keep.txt", "k");
    Write(src() + "skip.bak", "b");
    Write(src() + "Cache/inner.txt", "c");
    Write(dst() + "old.bak", "o"); // excluded in storage too: never deleted
    Write(dst() + "cache/x.txt", "x");
    for (const auto& [path, size] : {std::pair{src() + "limit.bin", 10 * 1048576}, {src() + "over.bin", 10 * 1048576 + 1},
                                     {dst() + "big.bin", 10 * 1048576 + 1}}) {
        Write(path, "");
        ASSERT_TRUE(QFile::resize(path, size));
    }
    TSyncSettings settings;
    settings.nExcludeList << "*.BAK" << "/cache/";
    settings.nSkipBigFiles = true;
    settings.nBigFileSize = 10;
    TLumo_Sync& sync = MakeSync(settings);
    RunAndWait(sync, true);
    const std::map<QString, TLumo_FileStatus> expected{{"keep.txt", TLumo_FileStatus::flsNew},
                                                       {"limit.bin", TLumo_FileStatus::flsNew}};
    EXPECT_EQ(Entries(sync), expected);
}

TEST_F(SyncRunTest, MissingSourceFolderSkipsOnlyItsPair) {
    Write(sandbox.file("good/a.txt"), "a");
    TSyncSettings settings;
    settings.nValueList << sandbox.file("absent/") << sandbox.file("dst1/") << sandbox.file("good/")
                        << sandbox.file("dst2/");
    TLumo_Sync& sync = MakeSync(settings);
    RunAndWait(sync, false);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feSourceFilesFolder);
    EXPECT_EQ(Read(sandbox.file("dst2/a.txt")), "a");
    EXPECT_TRUE(sync.ElementList()[0].fSkipIt);
    EXPECT_FALSE(sync.ElementList()[1].fSkipIt);
    EXPECT_EQ(sync.ErrorAttempts(), 1);
    EXPECT_TRUE(sync.LastErrorText().startsWith("Sync completed with errors: "));
}

} // namespace
