// Folder pairs whose configuration could make a run destroy data: overlapping
// or nested folders, missing separators, blank sides, roots excluded by their
// own path, and what a stopped run left behind.

#include "sync_run_support.h"

#include "deep_tree.h"

#include <climits>

namespace {

class SyncPairSafetyTest : public SyncRunTest {
protected:
    // Deep trees are beyond what QTemporaryDir can remove.
    void TearDown() override { RemoveDeepContent(sandbox.path()); }

    QString Folder(const QString& relative) const { return sandbox.path() + "/" + relative; }

    static std::map<QString, QByteArray> Tree(const QString& folder) {
        std::map<QString, QByteArray> tree;
        for (const QString& name : FilesBelow(folder))
            tree[name] = QFileInfo(folder + "/" + name).isDir() ? QByteArray("<folder>") : Read(folder + "/" + name);
        return tree;
    }

    TLumo_Sync& MakePairs(const QStringList& pairs, const QStringList& exclusions = {}, bool skipHidden = false) {
        TSyncSettings s;
        s.nValueList = pairs;
        s.nExcludeList = exclusions;
        s.nSkipHidden = skipHidden;
        s.nDeleteToRecycle = false;
        return MakeSync(s);
    }
};

TEST_F(SyncPairSafetyTest, OverlappingFoldersStopTheRunAndTouchNothing) {
    const struct {
        const char* source;
        const char* storage;
    } cases[] = {
        {"dst/data/", "dst/"},   // the source inside its storage
        {"src/", "src/mirror/"}, // the storage inside its source
    };
    for (const auto& c : cases) {
        Write(src() + "a.txt", "alpha");
        Write(src() + "mirror/old.txt", "kept");
        Write(dst() + "data/b.txt", "beta");
        Write(dst() + "stale.txt", "kept too");
        const auto before = Tree(sandbox.path());
        TLumo_Sync& sync = MakePairs({Folder(c.source), Folder(c.storage)});
        RunAndWait(sync, false);
        EXPECT_EQ(sync.LastError(), TLumo_Error::feOverlappingFolders) << c.source;
        EXPECT_TRUE(sync.LastErrorText().contains(Folder(c.storage))) << sync.LastErrorText().toStdString();
        EXPECT_EQ(Tree(sandbox.path()), before) << c.source;
    }
}

TEST_F(SyncPairSafetyTest, TheSameFolderOnBothSidesHasNothingToDo) {
    Write(src() + "a.txt", "alpha");
    TLumo_Sync& sync = MakePairs({src(), src()});
    RunAndWait(sync, false);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(sync.ResultAllNewFiles(), 0);
    EXPECT_EQ(sync.ResultToDeleteFiles(), 0);
    EXPECT_EQ(Read(src() + "a.txt"), "alpha");
}

TEST_F(SyncPairSafetyTest, FoldersWithoutTheSeparatorAreSynchronizedAsFolders) {
    Write(src() + "a.txt", "alpha");
    Write(dst() + "stale.txt", "old");
    TLumo_Sync& sync = MakePairs({Folder("src"), Folder("dst")});
    RunAndWait(sync, false);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(Read(dst() + "a.txt"), "alpha");
    EXPECT_FALSE(QFile::exists(dst() + "stale.txt"));
    EXPECT_EQ(FilesBelow(dst()), QStringList({"a.txt"}));
    EXPECT_FALSE(QFile::exists(Folder("dsta.txt"))) << "written beside the storage folder";
}

TEST_F(SyncPairSafetyTest, ARootExcludedByItsOwnPathIsAnErrorOfThePairAndChangesNothing) {
    Write(src() + "a.txt", "alpha");
    Write(dst() + "b.txt", "beta");
    for (const QString& exclusion : {QStringLiteral("/src/"), QStringLiteral("/dst/")}) {
        const auto before = Tree(sandbox.path());
        TLumo_Sync& sync = MakePairs({src(), dst()}, {exclusion});
        RunAndWait(sync, false);
        EXPECT_EQ(sync.LastError(), TLumo_Error::feRootExcluded) << exclusion.toStdString();
        EXPECT_EQ(Tree(sandbox.path()), before) << exclusion.toStdString();
    }
}

TEST_F(SyncPairSafetyTest, APairWithABlankStorageIsKeptAndReportedWhileTheOthersRun) {
    Write(src() + "a.txt", "alpha");
    Write(Folder("other/b.txt"), "beta");
    TLumo_Sync& sync = MakePairs({Folder("other/"), "", src(), dst()});
    EXPECT_EQ(sync.GetSettings().nValueList, QStringList({Folder("other/"), "", src(), dst()}));
    RunAndWait(sync, false);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feSourceElements);
    EXPECT_TRUE(sync.LastErrorText().contains("\"" + Folder("other/") + "\" -> \"\"")) << sync.LastErrorText().toStdString();
    EXPECT_EQ(Read(dst() + "a.txt"), "alpha");
    EXPECT_EQ(Read(Folder("other/b.txt")), "beta");
}

TEST_F(SyncPairSafetyTest, AStoragePairInsideAnotherPairsStorageIsNotDeletedByIt) {
    Write(Folder("A/a.txt"), "alpha");
    Write(Folder("B/new.jpg"), "new");
    Write(Folder("B/same.jpg"), "same");
    Write(Folder("S/pics/same.jpg"), "same");
    SetTime(Folder("B/same.jpg"), 0);
    SetTime(Folder("S/pics/same.jpg"), 0);
    TLumo_Sync& sync = MakePairs({Folder("A/"), Folder("S/"), Folder("B/"), Folder("S/pics/")});
    for (int run = 0; run < 2; ++run) {
        RunAndWait(sync, false);
        EXPECT_EQ(sync.LastError(), TLumo_Error::feNone) << run;
        EXPECT_EQ(FilesBelow(Folder("S")), QStringList({"a.txt", "pics", "pics/new.jpg", "pics/same.jpg"})) << run;
    }
}

TEST_F(SyncPairSafetyTest, TheTwoSecondRuleComparesExactNanoseconds) {
    const qint64 base = 1577836800LL * 1000000000;
    const struct {
        qint64 deltaNs;
        bool modified;
    } cases[] = {{1999999999, false}, {2000000000, true}, {-1999999999, false}, {-2000000000, true}};
    for (const auto& c : cases) {
        Write(src() + "f.txt", "same");
        Write(dst() + "f.txt", "same");
        const auto set = [](const QString& path, qint64 ns) {
            timespec times[2];
            times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(ns / 1000000000);
            times[0].tv_nsec = times[1].tv_nsec = static_cast<long>(ns % 1000000000);
            ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        };
        set(src() + "f.txt", base + c.deltaNs);
        set(dst() + "f.txt", base);
        TLumo_Sync& sync = MakePairs({src(), dst()});
        RunAndWait(sync, true);
        const auto entries = Entries(sync);
        EXPECT_EQ(entries.count("f.txt") == 1, c.modified) << c.deltaNs;
    }
}

TEST_F(SyncPairSafetyTest, ARunRemovesTheTemporaryFilesAStoppedRunLeftInItsStorage) {
    Write(src() + "sub/a.txt", "alpha");
    Write(dst() + ".nvsync-Ab12Cd", "partial");
    Write(dst() + "sub/.nvsync-Xy34Zw", "partial");
    Write(dst() + ".hidden", "stays, hidden entries are skipped");
    TLumo_Sync& sync = MakePairs({src(), dst()}, {}, true);
    RunAndWait(sync, true);
    EXPECT_TRUE(QFile::exists(dst() + ".nvsync-Ab12Cd")) << "an analysis changes nothing";
    RunAndWait(sync, false);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(FilesBelow(dst()), QStringList({".hidden", "sub", "sub/a.txt"}));
}

} // namespace

namespace {

TEST_F(SyncPairSafetyTest, AnAnalysisSeesEveryEntryOfTreesDeeperThanThePathLimit) {
    const QString newChain = MakeDeepChain(src(), std::string(200, 'n'), 25);
    const QString staleChain = MakeDeepChain(dst(), std::string(200, 's'), 25);
    ASSERT_GT((dst() + staleChain).toUtf8().size(), PATH_MAX);
    TLumo_Sync& sync = MakePairs({src(), dst()});
    RunAndWait(sync, true);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(sync.ResultAllNewFiles(), 25);
    EXPECT_EQ(sync.ResultToDeleteFiles(), 25);
    const auto entries = Entries(sync);
    ASSERT_EQ(entries.count(staleChain), 1u);
    EXPECT_EQ(entries.at(staleChain), TLumo_FileStatus::flsToDelete);
    EXPECT_EQ(entries.count(newChain), 1u);
}

} // namespace
