// The command-line tool run as a program against a hand-written Backup.ini
// and real folders; the result is compared with diff -r.

#include "cli_sandbox.h"
#include "deep_tree.h"
#include "test_env.h"
#include "unreachable_sources.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

const char kUid[] = "SNK202401020304051234";

class CliSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(sandbox.file("data"));
        QDir().mkpath(sandbox.file("src"));
    }
    // Names that are not UTF-8 are beyond what QTemporaryDir can remove.
    void TearDown() override { RemoveDeepContent(sandbox.path()); }

    void WriteIni(bool deleteToTrash = false, const QString& source = {}) {
        const QString src = source.isEmpty() ? sandbox.file("src/") : source;
        QByteArray ini = "\xEF\xBB\xBF[SyncList]\r\n";
        ini += QByteArray(kUid) + "=Docs\r\n[" + kUid + "_st]\r\nDelToRecycle=" + (deleteToTrash ? "1" : "0") +
               "\r\nSkipHiddenSystem=0\r\nAutoMode=0\r\n[" + kUid + "_Ex]\r\nv0=*.tmp\r\n[" + kUid + "]\r\nf1_1=" +
               src.toUtf8() + "\r\nf2_1=" + sandbox.file("dst/").toUtf8() + "\r\n";
        sandbox.writeFile("data/Backup.ini", ini);
    }

    struct Result {
        int status = -1;
        QString out, err;
    };

    Result Cli(const QStringList& args, bool asNobody = false) const {
        QProcess process;
        const QStringList cliArgs = QStringList{"--data-dir", sandbox.file("data")} + args;
        if (asNobody)
            process.start("setpriv", QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                                 NORVANE_CLI_PATH} + cliArgs);
        else
            process.start(NORVANE_CLI_PATH, cliArgs);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }


    // The output of diff -r between the folders, or nullopt when diff is missing.
    std::optional<QString> Diff() const {
        const QString diff = QStandardPaths::findExecutable("diff");
        if (diff.isEmpty())
            return std::nullopt;
        QProcess process;
        process.start(diff, {"-r", sandbox.file("src"), sandbox.file("dst")});
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    void MakeTree() {
        sandbox.writeFile("src/a.txt", "alpha");
        sandbox.writeFile("src/sub/deeper/b.txt", "beta");
        sandbox.writeFile("src/skip.tmp", "excluded");
        sandbox.writeFile("dst/old.txt", "to remove");
        sandbox.writeFile("dst/a.txt", "old");
        sandbox.writeFile("dst/oldfolder/c.txt", "to remove");
    }

    TestSandbox sandbox;
};

TEST_F(CliSyncTest, AnalyseListsEntriesAndChangesNothing) {
    MakeTree();
    WriteIni();
    const Result r = Cli({"analyse", "--entries", kUid});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0].toStdString(), "Docs");
    EXPECT_EQ(lines[2].toStdString(), "Analysis: Update - 4 [9 b]  |  To remove - 3 [18 b]");
    QStringList entries = lines.mid(3);
    entries.sort();
    const QStringList expected{"Modified\ta.txt",       "New\tsub",           "New\tsub/deeper",
                               "New\tsub/deeper/b.txt", "To delete\told.txt", "To delete\toldfolder",
                               "To delete\toldfolder/c.txt"};
    EXPECT_EQ(entries.join('|').toStdString(), expected.join('|').toStdString());
    EXPECT_TRUE(QFile::exists(sandbox.file("dst/old.txt")));
    EXPECT_FALSE(QFile::exists(sandbox.file("dst/sub")));
}

TEST_F(CliSyncTest, RunMakesStorageEqualAndASecondAnalyseFindsNothing) {
    MakeTree();
    WriteIni();
    const Result run = Cli({"run", kUid});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.split('\n')[2].startsWith("Last sync: ")) << run.out.toStdString();
    const auto diff = Diff();
    if (!diff)
        GTEST_SKIP() << "diff is not installed";
    EXPECT_EQ(diff->toStdString(), ("Only in " + sandbox.file("src") + ": skip.tmp\n").toStdString());
    const QByteArray ini = sandbox.readFile("data/Backup.ini");
    EXPECT_TRUE(ini.contains("LastActive=2")) << ini.constData();

    const Result again = Cli({"analyse", "--entries", kUid});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out.split('\n', Qt::SkipEmptyParts).size(), 3) << again.out.toStdString();
    EXPECT_TRUE(again.out.contains("Analysis: Update - 0 [0 b]  |  To remove - 0 [0 b]"));
}

TEST_F(CliSyncTest, UsageErrorsAndUnknownProfilesRunNothing) {
    MakeTree();
    WriteIni();
    for (const QStringList& args : {QStringList{"run"}, QStringList{"run", "--entries", kUid},
                                    QStringList{"analyse", "--bogus", kUid}, QStringList{"run", kUid, "SNKnope"}}) {
        const Result r = Cli(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(sandbox.file("dst/sub")));
}

TEST_F(CliSyncTest, MissingSourceFolderEndsWithStatusOneAndTheErrorText) {
    WriteIni(false, sandbox.file("absent/"));
    const Result r = Cli({"run", kUid});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains("Sync completed with errors")) << r.out.toStdString();
}

TEST_F(CliSyncTest, ASourceFolderThatCannotBeReachedIsNamedWithItsReason) {
    sandbox.writeFile("dst/kept.txt", "stays");
    const UnreachableSources unreachable(sandbox);
    ASSERT_FALSE(::testing::Test::HasFailure());
    for (const UnreachableSources::Case& c : unreachable.Cases()) {
        SCOPED_TRACE(c.source.toStdString());
        WriteIni(false, c.source);
        const Result r = Cli({"run", kUid}, true);
        EXPECT_EQ(r.status, 1) << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(c.expected)) << r.out.toStdString();
    }
    EXPECT_EQ(sandbox.readFile("dst/kept.txt"), "stays");
}

TEST_F(CliSyncTest, TermSignalStopsTheRunWithStatus130AndKeepsThePreviousCopy) {
    sandbox.writeFile("dst/big.bin", "previous copy");
    {
        QFile big(sandbox.file("src/big.bin"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'b');
        for (int i = 0; i < 1024; ++i)
            big.write(block);
    }
    WriteIni();
    QProcess process;
    process.start(NORVANE_CLI_PATH, {"--data-dir", sandbox.file("data"), "run", kUid});
    ASSERT_TRUE(process.waitForStarted());
    // Wait until the copy is under way: its temporary file appears beside the target.
    bool copying = false;
    for (int i = 0; i < 20000 && !copying && process.state() == QProcess::Running; ++i) {
        copying = QDir(sandbox.file("dst")).entryList(QDir::Files | QDir::Hidden).size() > 1;
        if (!copying)
            QThread::msleep(1);
    }
    if (!copying) {
        process.waitForFinished();
        GTEST_SKIP() << "the copy ended before it could be interrupted";
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 130);
    EXPECT_EQ(sandbox.readFile("dst/big.bin"), "previous copy");
    EXPECT_EQ(QDir(sandbox.file("dst")).entryList(QDir::Files | QDir::Hidden), QStringList{"big.bin"});
}

// Writes a file whose path is given as raw bytes below the sandbox.
void WriteRaw(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    ::close(fd);
}

TEST_F(CliSyncTest, NamesThatAreNotUtf8AreSynchronizedByteForByte) {
    const QByteArray src = QFile::encodeName(sandbox.file("src/"));
    const QByteArray dst = QFile::encodeName(sandbox.file("dst/"));
    ASSERT_EQ(::mkdir(dst.constData(), 0755), 0);
    ASSERT_EQ(::mkdir((src + "d\xe9j\xe0").constData(), 0755), 0);
    WriteRaw(src + "caf\xe9.txt", "latin one");
    WriteRaw(src + "d\xe9j\xe0/na\xefve.txt", "inside");
    WriteRaw(dst + "old\xff.txt", "stale");
    WriteIni();
    const Result run = Cli({"run", kUid});
    EXPECT_EQ(run.status, 0) << run.out.toStdString();
    struct stat st {};
    EXPECT_NE(::lstat((dst + "old\xff.txt").constData(), &st), 0) << "the stale file is really deleted";
    const auto diff = Diff();
    if (!diff)
        GTEST_SKIP() << "diff is not installed";
    EXPECT_EQ(diff->toStdString(), "");
    const Result again = Cli({"analyse", "--entries", kUid});
    EXPECT_TRUE(again.out.contains("Analysis: Update - 0 [0 b]  |  To remove - 0 [0 b]")) << again.out.toStdString();
}

TEST_F(CliSyncTest, EntriesPrintOneLinePerEntryWithControlCharactersEscaped) {
    sandbox.writeFile("src/two\nlines.txt", "x");
    sandbox.writeFile("src/tab\there\\.txt", "x");
    WriteRaw(QFile::encodeName(sandbox.file("src/")) + "byte\xe9.txt", "x");
    WriteIni();
    const Result r = Cli({"analyse", "--entries", kUid});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QStringList entries = r.out.split('\n', Qt::SkipEmptyParts).mid(3);
    entries.sort();
    EXPECT_EQ(entries, QStringList({"New\tbyte\\xe9.txt", "New\ttab\\there\\\\.txt", "New\ttwo\\nlines.txt"}));
}

TEST_F(CliSyncTest, FoldersThatCannotBeListedKeepTheirCounterpartsAndAreNamedInTheError) {
    sandbox.writeFile("src/open/a.txt", "alpha");
    sandbox.writeFile("src/locked/x.txt", "x");
    sandbox.writeFile("src/shut/n.txt", "new");
    sandbox.writeFile("dst/locked/x.txt", "old x");
    sandbox.writeFile("dst/locked/y.txt", "only here");
    sandbox.writeFile("dst/shut/kept.txt", "unknown to the run");
    sandbox.writeFile("dst/stale.txt", "to remove");
    WriteIni();
    ASSERT_NO_FATAL_FAILURE(GiveSandboxToNobody(sandbox));
    ASSERT_EQ(::chmod(QFile::encodeName(sandbox.file("src/locked")).constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(sandbox.file("dst/shut")).constData(), 0), 0);
    const Result r = Cli({"run", kUid}, true);
    ::chmod(QFile::encodeName(sandbox.file("src/locked")).constData(), 0755);
    ::chmod(QFile::encodeName(sandbox.file("dst/shut")).constData(), 0755);
    EXPECT_EQ(r.status, 1) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(sandbox.file("src/locked/"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(sandbox.file("dst/shut/"))) << r.out.toStdString();
    EXPECT_EQ(sandbox.readFile("dst/locked/x.txt"), "old x");
    EXPECT_EQ(sandbox.readFile("dst/locked/y.txt"), "only here");
    EXPECT_EQ(sandbox.readFile("dst/shut/kept.txt"), "unknown to the run");
    EXPECT_FALSE(QFile::exists(sandbox.file("dst/shut/n.txt")));
    EXPECT_EQ(sandbox.readFile("dst/open/a.txt"), "alpha");
    EXPECT_FALSE(QFile::exists(sandbox.file("dst/stale.txt")));
}

// Read-only folders in the storage, with deletion into the trash and for good
// (the parameter): a read-only folder that goes, one inside a folder that
// goes, and a read-only folder that stays while entries in it go.
class CliReadOnlyDeletionTest : public CliSyncTest, public ::testing::WithParamInterface<bool> {
protected:
    static mode_t ModeOf(const QString& path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
};

TEST_P(CliReadOnlyDeletionTest, ReadOnlyFoldersAndParentsDoNotBlockTheDeletion) {
    const bool toTrash = GetParam();
    sandbox.writeFile("src/a.txt", "alpha");
    sandbox.writeFile("src/keep/ro/kept.txt", "kept");
    sandbox.writeFile("dst/a.txt", "alpha");
    sandbox.writeFile("dst/keep/ro/kept.txt", "kept");
    sandbox.writeFile("dst/keep/ro/stale.txt", "goes, its folder stays");
    sandbox.writeFile("dst/keep/ro/oldsub/h.txt", "goes with a read-only folder in a read-only folder");
    sandbox.writeFile("dst/rogone/g.txt", "goes with its read-only folder");
    sandbox.writeFile("dst/gone/inner/f.txt", "goes, in a read-only folder of a folder that goes");
    WriteIni(toTrash);
    ASSERT_NO_FATAL_FAILURE(GiveSandboxToNobody(sandbox));
    for (const char* folder : {"src/keep/ro", "dst/keep/ro/oldsub", "dst/keep/ro", "dst/rogone", "dst/gone/inner"})
        SetMode(sandbox.file(folder), 0555);

    const Result r = Cli({"run", kUid}, true);
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("error")) << r.out.toStdString();
    // The folder that stays keeps its mode.
    EXPECT_EQ(ModeOf(sandbox.file("dst/keep/ro")), 0555u);
    const QString trashFiles = sandbox.file("home/.local/share/Trash/files");
    QStringList trashed = QDir(trashFiles).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    trashed.sort();
    EXPECT_EQ(trashed.join('|').toStdString(), toTrash ? "gone|oldsub|rogone|stale.txt" : "");
    if (toTrash) {
        EXPECT_EQ(sandbox.readFile("home/.local/share/Trash/files/gone/inner/f.txt"),
                  "goes, in a read-only folder of a folder that goes");
    }
    const auto diff = Diff();
    if (!diff)
        GTEST_SKIP() << "diff is not installed";
    EXPECT_EQ(diff->toStdString(), "");
}

INSTANTIATE_TEST_SUITE_P(DeletionModes, CliReadOnlyDeletionTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "IntoTheTrash" : "ForGood");
                         });

} // namespace

namespace {

// A source tree 40 folders deep with 120-byte names: its lower part lies past
// the longest path the system takes in one call.
class CliDeepSyncTest : public CliSyncTest {
protected:
    static constexpr int kDepth = 40;

    void SetUp() override {
        CliSyncTest::SetUp();
        QDir().mkpath(sandbox.file("dst"));
        QDir().mkpath(sandbox.file("outside"));
        chain = MakeDeepChain(sandbox.file("src"), std::string(120, 'p'), kDepth).toStdString();
        ASSERT_FALSE(chain.empty());
        // Four levels up from the bottom, still past the limit.
        upper = chain.substr(0, chain.size() - 4 * 121);
        ASSERT_GT(QFile::encodeName(sandbox.file("dst/")).size() + upper.size(), PATH_MAX);
    }

    std::string At(const std::string& name) const { return chain + "/" + name; }

    std::string chain, upper;
};

TEST_F(CliDeepSyncTest, TreesPastThePathLimitAreCopiedUpdatedAndPruned) {
    ASSERT_TRUE(WriteDeepFile(sandbox.file("src"), upper + "/upper.txt", "four levels up"));
    ASSERT_TRUE(WriteDeepFile(sandbox.file("src"), At("end.txt"), "the bottom"));
    ASSERT_TRUE(WriteDeepFile(sandbox.file("src"), At("change.txt"), "first"));
    ASSERT_TRUE(WriteDeepFile(sandbox.file("src"), At("drop.txt"), "dropped later"));
    ASSERT_TRUE(MakeDeepLink(sandbox.file("src"), At("link"), "end.txt"));
    ASSERT_TRUE(MakeDeepFolder(sandbox.file("src"), At("gone")));
    ASSERT_TRUE(MakeDeepFolder(sandbox.file("src"), At("gone/inner")));
    ASSERT_TRUE(WriteDeepFile(sandbox.file("src"), At("gone/inner/x.txt"), "x"));
    ASSERT_TRUE(MakeDeepFolder(sandbox.file("src"), At("sub")));
    ASSERT_TRUE(WriteDeepFile(sandbox.file("src"), At("sub/s.txt"), "s"));
    // The storage already holds the chain, with a stale file, a temporary
    // file of a killed run and a link where the source has a folder.
    ASSERT_FALSE(MakeDeepChain(sandbox.file("dst"), std::string(120, 'p'), kDepth).isEmpty());
    ASSERT_TRUE(WriteDeepFile(sandbox.file("dst"), At("stale.txt"), "stale"));
    ASSERT_TRUE(WriteDeepFile(sandbox.file("dst"), At(".nvsync-00000000deadbeef"), "partial"));
    ASSERT_TRUE(MakeDeepLink(sandbox.file("dst"), At("sub"), sandbox.file("outside").toStdString()));
    WriteIni();

    const Result first = Cli({"run", kUid});
    EXPECT_EQ(first.status, 0) << first.out.toStdString() << first.err.toStdString();
    EXPECT_FALSE(first.out.contains("error", Qt::CaseInsensitive)) << first.out.toStdString();
    EXPECT_TRUE(first.out.split('\n').value(2).startsWith("Last sync: ")) << first.out.toStdString();
    const auto source = DeepListing(sandbox.file("src"));
    ASSERT_EQ(source.count(At("gone/inner/x.txt")), 1u);
    EXPECT_EQ(DeepListing(sandbox.file("dst")), source);
    EXPECT_TRUE(DeepListing(sandbox.file("outside")).empty()) << "nothing is written through the link";

    // A changed file, a deleted file and a deleted folder with content.
    ASSERT_TRUE(WriteDeepFile(sandbox.file("src"), At("change.txt"), "second, longer"));
    ASSERT_TRUE(RemoveDeepEntry(sandbox.file("src"), At("drop.txt")));
    ASSERT_TRUE(RemoveDeepEntry(sandbox.file("src"), At("gone")));
    const Result second = Cli({"run", kUid});
    EXPECT_EQ(second.status, 0) << second.out.toStdString() << second.err.toStdString();
    EXPECT_FALSE(second.out.contains("error", Qt::CaseInsensitive)) << second.out.toStdString();
    const auto changed = DeepListing(sandbox.file("dst"));
    EXPECT_EQ(changed, DeepListing(sandbox.file("src")));
    EXPECT_EQ(changed.count(At("drop.txt")), 0u);
    EXPECT_EQ(changed.count(At("gone")), 0u);
    EXPECT_TRUE(changed.count(At("change.txt")) && changed.at(At("change.txt")).ends_with(" second, longer"));

    const Result again = Cli({"analyse", "--entries", kUid});
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.contains("Analysis: Update - 0 [0 b]  |  To remove - 0 [0 b]")) << again.out.toStdString();
}

TEST_F(CliDeepSyncTest, AnUnreadableFilePastThePathLimitFailsTheRunAndNothingElse) {
    ASSERT_TRUE(WriteDeepFile(sandbox.file("src"), At("open.txt"), "readable"));
    ASSERT_TRUE(WriteDeepFile(sandbox.file("src"), At("locked.txt"), "secret", 0));
    WriteIni();
    ASSERT_NO_FATAL_FAILURE(GiveSandboxToNobody(sandbox));
    const Result r = Cli({"run", kUid}, true);
    EXPECT_EQ(r.status, 1) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Sync completed with errors")) << r.out.toStdString();
    const auto stored = DeepListing(sandbox.file("dst"));
    ASSERT_EQ(stored.count(At("open.txt")), 1u) << "the readable neighbour is copied";
    EXPECT_TRUE(stored.at(At("open.txt")).ends_with(" readable"));
    for (const auto& [path, kind] : stored)
        EXPECT_TRUE(path.starts_with(chain.substr(0, 120)) && path.find("locked") == std::string::npos &&
                    path.find(".nvsync-") == std::string::npos)
            << path;
}

} // namespace
