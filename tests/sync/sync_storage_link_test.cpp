// A symbolic link in the storage where the source has a folder: the run
// replaces the link by a real folder and never writes through it.

#include "sync_run_support.h"

#include <QProcess>

namespace {

class SyncStorageLinkTest : public SyncRunTest {
protected:
    QString outside() const { return sandbox.path() + "/outside/"; }

    // The outside folder the link points at holds files of the names the run writes.
    void MakeOutsideFolder() {
        Write(outside() + "f.txt", "outside f");
        Write(outside() + "b/f.txt", "outside b/f");
        Write(outside() + "b/only-outside.txt", "kept");
        outsideBefore = Contents(outside());
    }

    static std::map<QString, QByteArray> Contents(const QString& folder) {
        std::map<QString, QByteArray> contents;
        for (const QString& name : FilesBelow(folder))
            contents[name] = QFileInfo(folder + name).isDir() ? QByteArray("<folder>") : Read(folder + name);
        return contents;
    }

    // diff -r: exit 0 when both trees are equal.
    static int DiffExit(const QString& a, const QString& b) {
        QProcess diff;
        diff.start("diff", {"-r", "--no-dereference", a, b});
        if (!diff.waitForFinished(30000))
            return -1;
        return diff.exitStatus() == QProcess::NormalExit ? diff.exitCode() : -1;
    }

    void RunAndCheck(const QString& linkInStorage) {
        TSyncSettings settings;
        settings.nDeleteToRecycle = false;
        TLumo_Sync& sync = MakeSync(settings);
        // The link is replaced on the first run; the second finds nothing to do.
        for (int run = 0; run < 2; ++run) {
            RunAndWait(sync, false);
            EXPECT_EQ(sync.LastError(), TLumo_Error::feNone) << "run " << run;
            EXPECT_EQ(Contents(outside()), outsideBefore) << "run " << run;
            EXPECT_FALSE(QFileInfo(dst() + linkInStorage).isSymLink()) << "run " << run;
            EXPECT_TRUE(QFileInfo(dst() + linkInStorage).isDir()) << "run " << run;
            EXPECT_EQ(DiffExit(src(), dst()), 0) << "run " << run;
        }
    }

    std::map<QString, QByteArray> outsideBefore;
};

TEST_F(SyncStorageLinkTest, LinkAtTheFoldersOwnPathIsReplacedNotFollowed) {
    MakeOutsideFolder();
    Write(src() + "a/f.txt", "source f");
    Write(src() + "a/b/f.txt", "source b/f");
    ASSERT_TRUE(QFile::link(outside(), dst() + "a"));
    RunAndCheck("a");
    EXPECT_EQ(Read(dst() + "a/f.txt"), "source f");
}

TEST_F(SyncStorageLinkTest, LinkAboveTheWrittenFolderIsReplacedNotFollowed) {
    MakeOutsideFolder();
    // Only the deeper folder holds files: the link sits at a parent of what is written.
    Write(src() + "a/b/f.txt", "source b/f");
    ASSERT_TRUE(QFile::link(outside(), dst() + "a"));
    RunAndCheck("a");
    EXPECT_EQ(Read(dst() + "a/b/f.txt"), "source b/f");
}

TEST_F(SyncStorageLinkTest, FileWhereTheSourceHasAFolderIsReplaced) {
    Write(src() + "a/f.txt", "source f");
    Write(dst() + "a", "stale file");
    RunAndCheck("a");
}

} // namespace
