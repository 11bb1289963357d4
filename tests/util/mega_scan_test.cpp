#include "os/file_attributes.h"
#include "util/date_time.h"
#include "util/file_time.h"
#include "util/mega_scan.h"
#include "util/native_path.h"
#include "util/scan_listing.h"

#include "deep_tree.h"
#include "qt_app.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A scanner plus a sandbox with a few helpers to build trees; the global stop
// is cleared again after each test.
class MegaScanTest : public ::testing::Test {
protected:
    void TearDown() override {
        ResetStopAllScans();
        // Deep trees and names that are not UTF-8 are beyond what QTemporaryDir can remove.
        RemoveDeepContent(sandbox.path());
    }

    QString Root() const { return sandbox.path() + "/root/"; }
    void File(const QString& relative, qint64 size = 1) const {
        sandbox.writeFile("root/" + relative, QByteArray(static_cast<int>(size), 'x'));
    }
    void SparseFile(const QString& relative, qint64 size) const {
        File(relative, 0);
        QFile f(Root() + relative);
        ASSERT_TRUE(f.resize(size));
    }
    void Folder(const QString& relative) const { ASSERT_TRUE(QDir().mkpath(Root() + relative)); }

    void Scan(const QStringList& roots, const QStringList& masks = {}, const QStringList& fragments = {},
              qint64 skipSize = 0, bool skipHidden = false) {
        scan.GetFilesSize(roots, masks, fragments, skipSize, skipHidden);
    }
    QSet<QString> SubPaths() const {
        QSet<QString> paths;
        for (const TLumo_SearchElement& e : scan.ScanResult.FileList)
            paths.insert(e.SubPath());
        return paths;
    }
    const TLumo_SearchElement* Find(const QString& subPath) const {
        for (const TLumo_SearchElement& e : scan.ScanResult.FileList)
            if (e.SubPath() == subPath)
                return &e;
        return nullptr;
    }

    TestSandbox sandbox;
    TLumo_MegaScan scan;
};

QString ParentOf(const QString& subPath) {
    const qsizetype slash = subPath.lastIndexOf('/');
    return slash < 0 ? QString() : subPath.left(slash);
}

TEST_F(MegaScanTest, ListsEveryEntryWithItsPathsSizesAndAttributes) {
    File("a.txt", 3);
    File("Sub/b.txt", 5);
    File("Sub/Deep/c.txt", 7);
    Folder("Empty");
    Scan({Root()});

    EXPECT_EQ(SubPaths(), QSet<QString>({"a.txt", "Sub", "Sub/b.txt", "Sub/Deep", "Sub/Deep/c.txt", "Empty"}));
    const TLumo_SearchElement* c = Find("Sub/Deep/c.txt");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Name(), "c.txt");
    EXPECT_EQ(c->FullPath(), Root() + "Sub/Deep/c.txt");
    EXPECT_EQ(c->Folder(), Root() + "Sub/Deep/");
    EXPECT_FALSE(c->IsFolder);
    EXPECT_EQ(c->Size, 7);
    EXPECT_EQ(c->Attr, os::kAttrArchive);

    const TLumo_SearchElement* deep = Find("Sub/Deep");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->Name(), "Deep");
    EXPECT_EQ(deep->FullPath(), Root() + "Sub/Deep");
    EXPECT_TRUE(deep->IsFolder);
    EXPECT_EQ(deep->Size, 0);
    EXPECT_EQ(deep->Attr, os::kAttrDirectory);
    EXPECT_EQ(scan.ScanResult.FullSize, 3 + 5 + 7);
}

TEST_F(MegaScanTest, WalksBreadthFirstWithEveryFolderBeforeItsContent) {
    for (const char* path : {"f1", "A/f2", "A/AA/f3", "A/AB/f4", "B/f5", "B/BA/BAA/f6", "C/f7"})
        File(QString::fromLatin1(path));
    Scan({Root()});

    // Breadth-first means the entries come grouped by their folder, and the
    // groups follow the order in which their folders were listed.
    QMap<QString, int> position;
    const auto& list = scan.ScanResult.FileList;
    for (int i = 0; i < static_cast<int>(list.size()); ++i)
        position[list[static_cast<std::size_t>(i)].SubPath()] = i;
    ASSERT_EQ(position.size(), 14);
    int lastParent = -1;
    int lastDepth = 0;
    for (const TLumo_SearchElement& e : list) {
        const QString parent = ParentOf(e.SubPath());
        const int parentIndex = parent.isEmpty() ? -1 : position.value(parent, 1000);
        EXPECT_LT(parentIndex, position[e.SubPath()]) << qPrintable(e.SubPath());
        EXPECT_GE(parentIndex, lastParent) << qPrintable(e.SubPath());
        const int depth = static_cast<int>(e.SubPath().count('/'));
        EXPECT_GE(depth, lastDepth) << qPrintable(e.SubPath());
        lastParent = parentIndex;
        lastDepth = depth;
    }
}

TEST_F(MegaScanTest, StoresFileTimesInUtc) {
    File("t.txt");
    // 2021-03-04 05:06:07.250 UTC
    const timespec times[2] = {{1614834367, 250000000}, {1614834367, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(Root() + "t.txt").constData(), times, 0), 0);
    Scan({Root()});
    const TLumo_SearchElement* t = Find("t.txt");
    ASSERT_NE(t, nullptr);
    const TDateTime expected = EncodeDate(2021, 3, 4) + EncodeTime(5, 6, 7, 250);
    EXPECT_NEAR(t->DT_Modified, expected, 1e-8);
    // Birth time where the file system keeps one (just now), else the last-write time.
    EXPECT_GE(t->DT_Created, expected - 1e-8);
    EXPECT_LE(t->DT_Created, EncodeDate(2100, 1, 1));
}

TEST_F(MegaScanTest, SingleFileRootsAreListedAsGivenWithoutNames) {
    File("inside.txt", 2);
    File("notes.txt", 11);
    Folder("Plain");
    Scan({Root(), "   ", Root() + "notes.txt", Root() + "missing.txt", Root() + "Plain", ""});

    const auto& list = scan.ScanResult.FileList;
    ASSERT_EQ(list.size(), 6u); // inside.txt, notes.txt, Plain from the walk, then three roots
    const TLumo_SearchElement& notes = list[3];
    EXPECT_EQ(notes.FullPath(), Root() + "notes.txt");
    EXPECT_TRUE(notes.Name().isEmpty());
    EXPECT_TRUE(notes.SubPath().isEmpty());
    EXPECT_EQ(notes.Size, 11);
    EXPECT_EQ(notes.Attr, 0);
    EXPECT_EQ(notes.DT_Modified, 0);
    EXPECT_FALSE(notes.IsFolder);

    EXPECT_EQ(list[4].FullPath(), Root() + "missing.txt");
    EXPECT_EQ(list[4].Size, 0);
    // A folder named without the trailing separator is one file entry of size 0.
    EXPECT_EQ(list[5].FullPath(), Root() + "Plain");
    EXPECT_FALSE(list[5].IsFolder);
    EXPECT_EQ(list[5].Size, 0);
    EXPECT_EQ(scan.ScanResult.FullSize, 2 + 11 + 11);
}

TEST_F(MegaScanTest, SkipSizeLeavesOutOnlyFilesLargerThanTheLimit) {
    SparseFile("exact.bin", 1048576);
    SparseFile("over.bin", 1048577);
    SparseFile("Big/over2.bin", 2000000);
    Scan({Root(), Root() + "over.bin", Root() + "exact.bin"}, {}, {}, 1048576);
    EXPECT_EQ(SubPaths(), QSet<QString>({"exact.bin", "Big", ""}));
    ASSERT_EQ(scan.ScanResult.FileList.size(), 3u);
    EXPECT_EQ(scan.ScanResult.FileList.back().FullPath(), Root() + "exact.bin");
    EXPECT_EQ(scan.ScanResult.FullSize, 2 * 1048576);

    TLumo_MegaScan unlimited;
    unlimited.GetFilesSize({Root()}, {}, {}, 0, false);
    EXPECT_EQ(unlimited.ScanResult.FileList.size(), 4u);
}

TEST_F(MegaScanTest, MasksAndFragmentsExcludeAsDocumented) {
    for (const char* path : {"A.TMP", "b.Tmp", "keep.txt", "x.tmp/inner.txt", "Sub/Cache/c1.txt", "Sub/Cache/D/c2",
                             "Sub/cache", "Sub/Cached/c3.txt"})
        File(QString::fromLatin1(path));
    const QSet<QString> all = {"A.TMP",     "b.Tmp",          "keep.txt",       "x.tmp",      "x.tmp/inner.txt",
                               "Sub",       "Sub/Cache",      "Sub/Cache/c1.txt", "Sub/Cache/D", "Sub/Cache/D/c2",
                               "Sub/cache", "Sub/Cached",     "Sub/Cached/c3.txt"};
    const struct {
        QStringList masks;
        QStringList fragments;
        QSet<QString> removed;
    } cases[] = {
        {{"*.tmp"}, {}, {"A.TMP", "b.Tmp"}},
        {{"x.tmp/"}, {}, {"x.tmp", "x.tmp/inner.txt"}},
        {{"x.tm?*"}, {}, {"x.tmp", "x.tmp/inner.txt"}},
        {{"[ab].*"}, {}, {"A.TMP", "b.Tmp"}},
        {{}, {"/CACHE/"}, {"Sub/Cache", "Sub/Cache/c1.txt", "Sub/Cache/D", "Sub/Cache/D/c2"}},
        // Fragments are compared as given: a lower-case one never matches the upper-cased path.
        {{}, {"/cache/"}, {}},
        {{}, {"/CACHE"}, {"Sub/Cache", "Sub/Cache/c1.txt", "Sub/Cache/D", "Sub/Cache/D/c2", "Sub/cache",
                          "Sub/Cached", "Sub/Cached/c3.txt"}},
        {{"keep.txt"}, {"/SUB/"}, {"keep.txt", "Sub", "Sub/Cache", "Sub/Cache/c1.txt", "Sub/Cache/D",
                                   "Sub/Cache/D/c2", "Sub/cache", "Sub/Cached", "Sub/Cached/c3.txt"}},
    };
    for (const auto& c : cases) {
        TLumo_MegaScan one;
        one.GetFilesSize({Root()}, c.masks, c.fragments, 0, false);
        QSet<QString> found;
        for (const TLumo_SearchElement& e : one.ScanResult.FileList)
            found.insert(e.SubPath());
        EXPECT_EQ(found, all - c.removed) << qPrintable(c.masks.join(',') + " | " + c.fragments.join(','));
    }
}

TEST_F(MegaScanTest, RootsAreNeverExcludedButARootInsideAFragmentYieldsNothing) {
    File("Cache/a.txt");
    File("b.tmp");
    Scan({Root() + "Cache/", Root() + "b.tmp"}, {"*.tmp"}, {"/CACHE/"});
    ASSERT_EQ(scan.ScanResult.FileList.size(), 1u);
    EXPECT_EQ(scan.ScanResult.FileList[0].FullPath(), Root() + "b.tmp");
}

TEST_F(MegaScanTest, SkipHiddenLeavesOutHiddenAndSystemEntriesWithTheirContent) {
    File(".hidden/visible.txt");
    File(".dotfile");
    File("plain.txt");
    File("Open/.secret");
    ASSERT_EQ(::mkfifo(QFile::encodeName(Root() + "pipe").constData(), 0600), 0);
    ASSERT_TRUE(QFile(Root() + "plain.txt").setPermissions(QFile::ReadOwner));

    Scan({Root()}, {}, {}, 0, true);
    EXPECT_EQ(SubPaths(), QSet<QString>({"plain.txt", "Open"}));
    const TLumo_SearchElement* plain = Find("plain.txt");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Attr, os::kAttrArchive | os::kAttrReadOnly);

    TLumo_MegaScan all;
    all.GetFilesSize({Root()}, {}, {}, 0, false);
    QMap<QString, qint32> attributes;
    for (const TLumo_SearchElement& e : all.ScanResult.FileList)
        attributes[e.SubPath()] = e.Attr;
    EXPECT_EQ(attributes.size(), 7);
    EXPECT_EQ(attributes.value(".hidden"), os::kAttrDirectory | os::kAttrHidden);
    EXPECT_EQ(attributes.value(".hidden/visible.txt"), os::kAttrArchive);
    EXPECT_EQ(attributes.value(".dotfile"), os::kAttrArchive | os::kAttrHidden);
    EXPECT_EQ(attributes.value("pipe"), os::kAttrSystem);
}

TEST_F(MegaScanTest, SymbolicLinksAreListedButNotFollowed) {
    File("Real/r.txt", 4);
    ASSERT_TRUE(QFile::link(Root(), Root() + "Real/loop"));          // a link back to the root
    ASSERT_TRUE(QFile::link(Root() + "Real", Root() + "toReal"));     // a link to a folder
    ASSERT_TRUE(QFile::link(Root() + "nowhere", Root() + "dangling")); // a link to nothing
    Scan({Root()});
    EXPECT_EQ(SubPaths(), QSet<QString>({"Real", "Real/r.txt", "Real/loop", "toReal", "dangling"}));
    for (const char* link : {"Real/loop", "toReal", "dangling"}) {
        const TLumo_SearchElement* e = Find(QString::fromLatin1(link));
        ASSERT_NE(e, nullptr);
        EXPECT_FALSE(e->IsFolder) << link;
        EXPECT_EQ(e->Attr, os::kAttrReparsePoint) << link;
    }
}

TEST_F(MegaScanTest, ScansAppendUntilCleanResultWhichKeepsTheTotal) {
    File("a.txt", 10);
    File("Other/b.txt", 20);
    Scan({Root() + "Other/"});
    Scan({Root()});
    EXPECT_EQ(scan.ScanResult.FileList.size(), 1u + 3u);
    EXPECT_EQ(scan.ScanResult.FileList.front().SubPath(), "b.txt");
    EXPECT_EQ(scan.ScanResult.FullSize, 20 + 10 + 20);

    scan.CleanResult();
    EXPECT_TRUE(scan.ScanResult.FileList.empty());
    EXPECT_EQ(scan.ScanResult.FullSize, 50);
}

TEST_F(MegaScanTest, MissingOrUnlistableRootFoldersContributeNothing) {
    File("a.txt");
    Scan({Root() + "absent/", Root()});
    EXPECT_EQ(SubPaths(), QSet<QString>({"a.txt"}));
}

TEST_F(MegaScanTest, AStopSetBeforehandEndsTheCallAtOnce) {
    File("a.txt");
    scan.AbortIt = true;
    Scan({Root(), Root() + "a.txt"});
    EXPECT_TRUE(scan.ScanResult.FileList.empty());

    TLumo_MegaScan other;
    SetStopAllScans();
    other.GetFilesSize({Root(), Root() + "a.txt"}, {}, {}, 0, false);
    EXPECT_TRUE(other.ScanResult.FileList.empty());
    EXPECT_TRUE(StopAllScans());
}

// On the main thread the scanner turns the event loop while it walks, so a
// stop request posted there arrives in the middle of the walk.
TEST_F(MegaScanTest, AStopDuringTheWalkKeepsWhatWasFound) {
    EnsureQtApp();
    constexpr int kFiles = 400;
    for (int i = 0; i < kFiles; ++i)
        File(QStringLiteral("f%1").arg(i));
    QTimer::singleShot(0, [this] { scan.AbortIt = true; });
    Scan({Root(), Root() + "f1"});
    const auto found = scan.ScanResult.FileList.size();
    EXPECT_GT(found, 0u);
    EXPECT_LT(found, static_cast<std::size_t>(kFiles));
    for (const TLumo_SearchElement& e : scan.ScanResult.FileList)
        EXPECT_FALSE(e.Name().isEmpty()); // the single-file root after the folder was not reached
    EXPECT_TRUE(scan.AbortIt);

    // The process-wide stop works the same way.
    TLumo_MegaScan second;
    QTimer::singleShot(0, [] { SetStopAllScans(); });
    second.GetFilesSize({Root()}, {}, {}, 0, false);
    EXPECT_GT(second.ScanResult.FileList.size(), 0u);
    EXPECT_LT(second.ScanResult.FileList.size(), static_cast<std::size_t>(kFiles));
}

TEST_F(MegaScanTest, AScanOnAWorkerThreadLeavesTheMainEventQueueAlone) {
    EnsureQtApp();
    for (int i = 0; i < 300; ++i)
        File(QStringLiteral("f%1").arg(i));
    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    std::thread worker([this] { Scan({Root()}); });
    worker.join();
    EXPECT_EQ(scan.ScanResult.FileList.size(), 300u);
    EXPECT_FALSE(fired);
    QCoreApplication::processEvents();
    EXPECT_TRUE(fired);
}

} // namespace

TEST_F(MegaScanTest, ReachesFoldersWhosePathIsLongerThanTheSystemLimit) {
    Folder("");
    const QString deepFile = MakeDeepChain(Root(), std::string(200, 'd'), 30) + "/end.txt";
    {
        const int folder = ::open(QFile::encodeName(Root()).constData(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(folder, 0);
        int fd = folder;
        for (int i = 0; i < 30 && fd >= 0; ++i) {
            const int next = ::openat(fd, std::string(200, 'd').c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        const int file = ::openat(fd, "end.txt", O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(file, 0);
        EXPECT_EQ(::write(file, "deep", 4), 4);
        ::close(file);
        ::close(fd);
    }
    ASSERT_GT((Root() + deepFile).toUtf8().size(), PATH_MAX);
    Scan({Root()});
    const TLumo_SearchElement* found = Find(deepFile);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Size, 4);
    EXPECT_TRUE(scan.ScanResult.Failures.empty());
    EXPECT_EQ(scan.ScanResult.FileList.size(), 31u);
}

TEST_F(MegaScanTest, NamesThatAreNotUtf8KeepTheirBytes) {
    Folder("");
    const QByteArray folder = QFile::encodeName(Root()) + "d\xe9j\xe0";
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    const QByteArray file = folder + "/caf\xe9\xff.txt";
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    Scan({Root()});
    ASSERT_EQ(scan.ScanResult.FileList.size(), 2u);
    QSet<QByteArray> paths;
    for (const TLumo_SearchElement& e : scan.ScanResult.FileList)
        paths.insert(QByteArray::fromStdString(PathToNative(e.FullPath())));
    EXPECT_EQ(paths, QSet<QByteArray>({folder, file}));
}

TEST_F(MegaScanTest, LeftoversByPrefixAreHandedBackWhateverTheExclusionsSay) {
    File(".tmp-1");
    File("sub/.tmp-2");
    File("sub/kept.txt");
    Folder(".tmp-folder");
    scan.LeftoverPrefix = ".tmp-";
    Scan({Root()}, {"*.txt"}, {}, 0, true);
    QStringList leftovers = scan.ScanResult.Leftovers;
    leftovers.sort();
    EXPECT_EQ(leftovers, QStringList({Root() + ".tmp-1", Root() + "sub/.tmp-2"}));
    EXPECT_EQ(SubPaths(), QSet<QString>({"sub"}));
}

// The compact listing holds what the element list holds, in the same order,
// whatever the exclusions, limits and leftovers.
TEST_F(MegaScanTest, CompactListingHoldsTheElementListsEntriesInItsOrder) {
    for (const char* path : {"a.txt", "b.tmp", ".hidden", "sub/c.txt", "sub/deeper/d.bin", "Sub/Cache/e.txt",
                             "sub/.tmp-left", "big/large.dat"})
        File(QString::fromLatin1(path), 3);
    SparseFile("big/huge.dat", 5 * 1048576);
    Folder("empty");
    Folder("sub/deeper/deepest");
    ASSERT_TRUE(QFile::link("a.txt", Root() + "sub/link"));
    const QByteArray raw = QFile::encodeName(Root()) + "na\xefve";
    ASSERT_EQ(::mkdir(raw.constData(), 0755), 0);
    ASSERT_EQ(::close(::open((raw + "/f\xe9.txt").constData(), O_WRONLY | O_CREAT, 0644)), 0);
    const struct {
        QStringList masks;
        QStringList fragments;
        qint64 skipSize;
        bool skipHidden;
    } cases[] = {{{}, {}, 0, false}, {{"*.tmp", "deeper/"}, {"/CACHE/"}, 0, false}, {{}, {}, 1048576, true}};
    for (const auto& c : cases) {
        TLumo_MegaScan list;
        list.LeftoverPrefix = ".tmp-";
        list.GetFilesSize({Root()}, c.masks, c.fragments, c.skipSize, c.skipHidden);
        TLumo_MegaScan compact;
        compact.LeftoverPrefix = ".tmp-";
        TLumo_ScanListing listing;
        compact.ListTree(Root(), c.masks, c.fragments, c.skipSize, c.skipHidden, listing);
        const auto& elements = list.ScanResult.FileList;
        ASSERT_EQ(listing.Entries.size(), elements.size());
        ASSERT_GT(elements.size(), 3u);
        for (std::uint32_t i = 0; i < listing.Entries.size(); ++i) {
            const TLumo_ListedEntry& e = listing.Entries[i];
            const TLumo_SearchElement& s = elements[i];
            EXPECT_EQ(listing.RelativePathText(i), s.SubPath());
            EXPECT_EQ(e.IsFolder(), s.IsFolder);
            EXPECT_EQ(e.Size, s.Size);
            EXPECT_EQ(e.Attr, s.Attr);
            EXPECT_EQ(e.ModifiedNs, s.ModifiedNs);
            EXPECT_EQ(UnixNsToDateTime(e.CreatedNs), s.DT_Created);
            if (e.IsFolder()) {
                const TLumo_ListedFolder& folder = listing.Folders[listing.FolderOfEntry(i)];
                EXPECT_EQ(folder.SelfEntry, i);
                for (std::uint32_t inside = folder.FirstEntry; inside < folder.EndEntry; ++inside)
                    EXPECT_TRUE(elements[inside].SubPath().startsWith(s.SubPath() + "/"));
            }
        }
        EXPECT_EQ(listing.FullSize, list.ScanResult.FullSize);
        EXPECT_EQ(listing.Leftovers, list.ScanResult.Leftovers);
        EXPECT_TRUE(listing.Failures.empty());
    }
}
