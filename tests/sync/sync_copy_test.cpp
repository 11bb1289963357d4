#include "sync_run_support.h"

#include "sync/sync_copy.h"

#include "deep_tree.h"

#include <climits>

namespace {

TEST_F(SyncRunTest, RunMakesStorageEqualAndCarriesTimesAndReadOnlyOver) {
    Write(src() + "a.txt", "new content");
    Write(src() + "deep/er/b.txt", "b");
    Write(src() + "empty.txt", "");
    Write(src() + "ro.txt", "read only");
    ASSERT_TRUE(QFile::link("a.txt", src() + "link"));
    SetTime(src() + "a.txt", 123456789);
    QFile::setPermissions(src() + "ro.txt", QFile::ReadOwner | QFile::ReadGroup);
    Write(dst() + "a.txt", "old");
    Write(dst() + "ro.txt", "old read only");
    QFile::setPermissions(dst() + "ro.txt", QFile::ReadOwner);
    Write(dst() + "gone/inner.txt", "x");
    Write(dst() + "gone/.hidden", "excluded");

    TSyncSettings settings;
    settings.nDeleteToRecycle = false;
    settings.nExcludeList << ".hidden";
    TLumo_Sync& sync = MakeSync(settings);
    RunAndWait(sync, false);

    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_TRUE(sync.ResultElements().empty());
    EXPECT_EQ(FilesBelow(src()), FilesBelow(dst()));
    EXPECT_EQ(Read(dst() + "a.txt"), "new content");
    EXPECT_EQ(Read(dst() + "deep/er/b.txt"), "b");
    EXPECT_EQ(ModifiedNs(dst() + "a.txt"), ModifiedNs(src() + "a.txt"));
    EXPECT_EQ(LinkText(dst() + "link"), "a.txt");
    EXPECT_TRUE(QFileInfo(dst() + "link").isSymLink());
    EXPECT_EQ(Read(dst() + "ro.txt"), "read only");
    EXPECT_FALSE(QFile::permissions(dst() + "ro.txt") & QFile::WriteOwner);
    // The whole folder went, with the excluded file in it.
    EXPECT_FALSE(QFileInfo::exists(dst() + "gone"));
    EXPECT_GT(sync.LastActive(), 0.0);
    EXPECT_EQ(sync.ResultAllNewCopied(), 11 + 1 + 0 + 9 + 5);

    // A second analysis finds nothing to do.
    RunAndWait(sync, true);
    EXPECT_TRUE(sync.ResultElements().empty());
    EXPECT_EQ(sync.ResultText(), "Analysis: Update - 0 [0 b]  |  To remove - 0 [0 b]");
}

TEST_F(SyncRunTest, RunPostsTheProfileSave) {
    Write(src() + "a.txt", "a");
    TLumo_Sync& sync = MakeSync();
    RunAndWait(sync, false);
    const auto requests = Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().fType, TSaveSetType::stProfile);
    EXPECT_EQ(requests.back().fUID, sync.UID());
}

TEST_F(SyncRunTest, DeletionToTrashMovesOnlyOutermostEntries) {
    useTrash = true;
    Write(src() + "keep.txt", "k");
    Write(dst() + "A/B/x.txt", "x");
    Write(dst() + "AB/y.txt", "y");
    Write(dst() + "loose.txt", "z");
    TLumo_Sync& sync = MakeSync();
    RunAndWait(sync, false);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(FilesBelow(dst()), QStringList{"keep.txt"});
    const QString trash = sandbox.path() + "/home/.local/share/Trash/files/";
    EXPECT_EQ(FilesBelow(trash), (QStringList{"A", "A/B", "A/B/x.txt", "AB", "AB/y.txt", "loose.txt"}));
}

TEST_F(SyncRunTest, AFailedMoveToTheTrashKeepsTheEntryAndPutsItsCauseIntoTheErrorText) {
    useTrash = true;
    Write(src() + "keep.txt", "k");
    Write(dst() + "stale.txt", "must not be lost");
    // A file where the trash folder belongs: no trash can be made there.
    Write(sandbox.path() + "/home/.local/share/Trash", "in the way");
    TLumo_Sync& sync = MakeSync();
    RunAndWait(sync, false);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feDelete);
    EXPECT_EQ(Read(dst() + "stale.txt"), "must not be lost");
    const QString text = sync.LastErrorText();
    EXPECT_TRUE(text.contains(dst() + "stale.txt: ")) << text.toStdString();
    EXPECT_TRUE(text.contains(sandbox.path() + "/home/.local/share/Trash")) << text.toStdString();
}

TEST(SyncOutermostPaths, NestedFoldersAndFilesAreLeftOut) {
    const std::atomic<bool> stop{false};
    const QStringList result = OutermostPaths({"/s/A B", "/s/A/B", "/s/A", "/s/AB"},
                                              {"/s/A/f", "/s/A B/g", "/s/ABC", "/s/A/B/h"}, stop);
    EXPECT_EQ(result, (QStringList{"/s/A", "/s/A B", "/s/AB", "/s/ABC"}));
}

TEST(SyncPercent, RoundsHalvesToEvenAndUsesOneForEmptyTotals) {
    EXPECT_EQ(PercentOf(0, 0), 0);
    EXPECT_EQ(PercentOf(5, 0), 100);
    EXPECT_EQ(PercentOf(1, 200), 0);   // 0.5 -> 0
    EXPECT_EQ(PercentOf(3, 200), 2);   // 1.5 -> 2
    EXPECT_EQ(PercentOf(100, 100), 100);
}

class CopyOneFileTest : public SyncRunTest {
protected:
    QString Target() const { return dst() + "big.bin"; }
    QString Source() const { return src() + "big.bin"; }
    void MakeBigSource() { Write(Source(), QByteArray(8 * 1048576, 'n')); }
};

TEST_F(CopyOneFileTest, StopBetweenBlocksKeepsThePreviousCopyAndLeavesNoTemporaryFile) {
    MakeBigSource();
    Write(Target(), "previous copy");
    std::atomic<bool> stop{false};
    int calls = 0;
    const TCopyOutcome outcome = CopyOneFile(Source(), Target(), 8 * 1048576, stop, [&](quint8) {
        ++calls;
        stop = true;
    });
    EXPECT_EQ(outcome, TCopyOutcome::Stopped);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Read(Target()), "previous copy");
    EXPECT_EQ(FilesBelow(dst()), QStringList{"big.bin"});
}

TEST_F(CopyOneFileTest, SourceChangedWhileCopiedIsNotTaken) {
    MakeBigSource();
    Write(Target(), "previous copy");
    std::atomic<bool> stop{false};
    bool appended = false;
    const TCopyOutcome outcome = CopyOneFile(Source(), Target(), 8 * 1048576, stop, [&](quint8) {
        if (appended)
            return;
        appended = true;
        QFile file(Source());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("more");
    });
    EXPECT_EQ(outcome, TCopyOutcome::SourceChanged);
    EXPECT_EQ(Read(Target()), "previous copy");
    EXPECT_EQ(FilesBelow(dst()), QStringList{"big.bin"});
}

TEST_F(CopyOneFileTest, ProgressReachesOneHundredAtOnceForASmallFile) {
    Write(Source(), QByteArray(100, 's'));
    std::atomic<bool> stop{false};
    std::vector<int> seen;
    EXPECT_EQ(CopyOneFile(Source(), Target(), 100, stop, [&](quint8 p) { seen.push_back(p); }),
              TCopyOutcome::Copied);
    EXPECT_EQ(seen, std::vector<int>{100});
    EXPECT_EQ(Read(Target()), QByteArray(100, 's'));
}

TEST_F(CopyOneFileTest, MissingSourceOrUnwritableFolderFailsWithoutTouchingTheTarget) {
    std::atomic<bool> stop{false};
    Write(Target(), "previous copy");
    EXPECT_EQ(CopyOneFile(src() + "absent", Target(), 0, stop, {}), TCopyOutcome::Failed);
    EXPECT_EQ(Read(Target()), "previous copy");
    // A folder stands where the file should go: the copy fails and the folder stays.
    Write(Source(), "x");
    QDir().mkpath(dst() + "folder.bin");
    EXPECT_EQ(CopyOneFile(Source(), dst() + "folder.bin", 1, stop, {}), TCopyOutcome::Failed);
    EXPECT_TRUE(QFileInfo(dst() + "folder.bin").isDir());
    EXPECT_EQ(FilesBelow(dst()), (QStringList{"big.bin", "folder.bin"}));
}

TEST_F(SyncRunTest, StoppedRunKeepsThePreviousCopyAndShowsNoError) {
    Write(src() + "a_small.txt", "s");
    Write(src() + "big.bin", QByteArray(64 * 1048576, 'n'));
    Write(dst() + "big.bin", "previous copy");
    Write(dst() + "to_delete.txt", "d");
    TLumo_Sync& sync = MakeSync();
    TTaskQueue& queue = ctx->TaskQueue();
    queue.RunTask(*sync.Profile(), false);
    bool aborted = false;
    ServeMainThreadWhile([&] {
        // The copy phase's status reaches this thread before the worker copies
        // anything, and the 64 MiB copy outlasts the stop request: a stop
        // during the copy, however slow the machine.
        if (!aborted && sync.SyncStatus() == TLumo_Operation::fsCopy) {
            aborted = true;
            queue.AbortTask(*sync.Profile());
        }
        return !queue.IsEmpty();
    });
    ASSERT_TRUE(aborted);
    const QByteArray big = Read(dst() + "big.bin");
    EXPECT_TRUE(big == "previous copy" || big.size() == 64 * 1048576) << big.size();
    EXPECT_EQ(Read(dst() + "to_delete.txt"), "d"); // no deletion phase after a stop
    for (const QString& name : FilesBelow(dst()))
        EXPECT_TRUE(name == "a_small.txt" || name == "big.bin" || name == "to_delete.txt") << name.toStdString();
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(sync.ErrorAttempts(), 0);
    EXPECT_EQ(sync.LastActive(), 0.0);
    EXPECT_EQ(sync.SyncStatus(), TLumo_Operation::fsNone);
}

TEST(SyncDeletionCheck, PathThatCannotBeExaminedIsNeverGone) {
    // A name longer than any file system allows cannot be examined: its absence is not proven.
    const QString tooLong = QDir::tempPath() + "/" + QString(300, 'n') + "/entry";
    for (const bool isFolder : {true, false}) {
        EXPECT_FALSE(DeleteForGood(tooLong, isFolder)) << isFolder;
        QString why;
        EXPECT_FALSE(EntryGone(tooLong, isFolder, &why)) << isFolder;
        EXPECT_TRUE(why.startsWith(tooLong + ": ")) << why.toStdString();
        EXPECT_GT(why.size(), tooLong.size() + 2) << isFolder;
    }
    // A path that does not exist is gone.
    EXPECT_TRUE(EntryGone(QDir::tempPath() + "/no-such-entry-of-the-sync-tests/entry", true));
}

} // namespace

namespace {

// Paths past the longest one the system takes in one call: 22 folders with
// 200-byte names below the sandbox.
class DeepFileOpsTest : public SyncRunTest {
protected:
    void SetUp() override {
        chain = MakeDeepChain(src(), std::string(200, 'q'), 22);
        ASSERT_FALSE(chain.isEmpty());
        ASSERT_GT(QFile::encodeName(src() + chain).size(), PATH_MAX);
    }
    // Deep trees are beyond what QTemporaryDir can remove.
    void TearDown() override { RemoveDeepContent(sandbox.path()); }

    QString chain;
};

TEST_F(DeepFileOpsTest, FoldersFilesAndLinksAreMadeReplacedAndRemoved) {
    const std::string sub = chain.toStdString();
    ASSERT_TRUE(WriteDeepFile(src(), sub + "/f.txt", "content"));
    ASSERT_TRUE(MakeDeepLink(src(), sub + "/link", "f.txt"));
    const QString from = src() + chain + "/";
    const QString to = dst() + chain + "/";

    ASSERT_TRUE(CreateFolderPath(dst(), chain));
    EXPECT_TRUE(EntryExists(to.chopped(1), true));
    EXPECT_TRUE(CopyFolderTimes(from.chopped(1), to.chopped(1)));
    std::atomic<bool> stop{false};
    EXPECT_EQ(CopyOneFile(from + "f.txt", to + "f.txt", 7, stop, {}), TCopyOutcome::Copied);
    EXPECT_EQ(CopyOneFile(from + "link", to + "link", 0, stop, {}), TCopyOutcome::Copied);
    ASSERT_TRUE(WriteDeepFile(src(), sub + "/f.txt", "replaced"));
    EXPECT_EQ(CopyOneFile(from + "f.txt", to + "f.txt", 8, stop, {}), TCopyOutcome::Copied);
    EXPECT_EQ(DeepListing(dst()), DeepListing(src()));
    // A root the user reaches through a link still leads to its deep entries.
    ASSERT_TRUE(QFile::link(dst(), sandbox.path() + "/via"));
    EXPECT_TRUE(EntryExists(sandbox.path() + "/via/" + chain + "/f.txt", false));

    for (const QString& file : {to + "f.txt", to + "link"}) {
        EXPECT_TRUE(EntryExists(file, false)) << file.size();
        EXPECT_TRUE(DeleteForGood(file, false));
        EXPECT_FALSE(EntryExists(file, false));
    }
    // A deep folder goes with the rest of the chain below it.
    const QString outer = dst() + chain.left(chain.lastIndexOf('/'));
    ASSERT_GT(QFile::encodeName(outer).size(), PATH_MAX);
    EXPECT_TRUE(DeleteForGood(outer, true));
    EXPECT_FALSE(EntryExists(outer, true));
    EXPECT_TRUE(EntryExists(outer.left(outer.lastIndexOf('/')), true));
}

TEST_F(DeepFileOpsTest, AbsenceIsProvenOrAnError) {
    const std::string sub = chain.toStdString();
    ASSERT_TRUE(WriteDeepFile(src(), sub + "/f.txt", "content"));
    Write(sandbox.path() + "/elsewhere/entry", "outside the tree");
    ASSERT_TRUE(MakeDeepLink(src(), sub + "/link", (sandbox.path() + "/elsewhere").toStdString()));
    const QString deep = src() + chain + "/";
    const struct {
        QString path;
        bool gone;
    } cases[] = {
        {deep + "absent", true},
        {deep + "f.txt/below", true},         // a file where a folder would be
        {deep + "link/entry", false},         // never looked at through a link
        {deep + QString(300, 'n') + "/entry", false}, // a name no file system takes
    };
    for (const auto& c : cases) {
        for (const bool isFolder : {false, true}) {
            const std::string row = c.path.mid(deep.size()).left(40).toStdString() + (isFolder ? " folder" : " file");
            QString why;
            EXPECT_EQ(EntryGone(c.path, isFolder, &why), c.gone) << row;
            EXPECT_EQ(why.isEmpty(), c.gone) << row;
            if (!c.gone) {
                EXPECT_TRUE(why.startsWith(c.path + ": ")) << row;
            }
            EXPECT_EQ(DeleteForGood(c.path, isFolder), c.gone) << row;
        }
    }
    EXPECT_EQ(Read(sandbox.path() + "/elsewhere/entry"), "outside the tree");
}

} // namespace

namespace {

// Sets the process's file mode creation mask for one scope.
class CreationMaskScope {
public:
    explicit CreationMaskScope(mode_t mask) : fOld(::umask(mask)) {}
    ~CreationMaskScope() { ::umask(fOld); }
    CreationMaskScope(const CreationMaskScope&) = delete;
    CreationMaskScope& operator=(const CreationMaskScope&) = delete;

private:
    mode_t fOld;
};

} // namespace

// The copy gets exactly the source's permission bits, whatever the creation
// mask would take away from a new file.
TEST_F(CopyOneFileTest, CopyHasTheSourcesPermissionBitsUnderAnyCreationMask) {
    for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{077}}) {
        for (const mode_t mode : {mode_t{0600}, mode_t{0444}, mode_t{0666}, mode_t{0751}, mode_t{0}}) {
            const CreationMaskScope scope(mask);
            Write(Source(), "content");
            ASSERT_EQ(::chmod(QFile::encodeName(Source()).constData(), mode), 0);
            const std::atomic<bool> stop{false};
            ASSERT_EQ(CopyOneFile(Source(), Target(), 7, stop, {}), TCopyOutcome::Copied);
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(Target()).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, mode) << std::oct << "mask " << mask << " mode " << mode;
            EXPECT_EQ(Read(Target()), "content");
            ::chmod(QFile::encodeName(Source()).constData(), 0644);
            ::unlink(QFile::encodeName(Target()).constData());
        }
    }
}
