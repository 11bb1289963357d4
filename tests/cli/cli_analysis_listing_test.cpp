// What "analyse --entries" lists for a tree with every kind of difference, in
// the order the result list holds it. The statuses and the statistics line are
// worked out by hand below; the order is checked against the folders' own
// listing order (breadth-first, as the file system returns names), read here
// with readdir and nothing of the program's.

#include "deep_tree.h"
#include "test_env.h"

#include <QFile>
#include <QProcess>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const char kUid[] = "SNK202401020304059876";
constexpr time_t kT0 = 1600000000;

struct Expected {
    std::string status; // as printed
    int pair;           // 1 or 2
};

// Every entry the analysis must list, by the path it prints (non-UTF-8 bytes
// as \xHH). Sizes for the statistics: see StatisticsLine below.
const std::map<std::string, Expected> kExpected{
    {"changed.txt", {"Modified", 1}},  // sizes differ
    {"newer.txt", {"Modified", 1}},    // same size, storage copy 10 s newer
    {"new.txt", {"New", 1}},
    {"newdir", {"New", 1}},
    {"newdir/inner", {"New", 1}},
    {"newdir/inner/f.txt", {"New", 1}},
    {"common/a.txt", {"New", 1}},
    {"newlink", {"New", 1}},           // a symbolic link, listed as itself
    {"kind", {"New", 1}},              // a folder here, a file on storage
    {"kind/k.txt", {"New", 1}},
    {" space name.txt", {"New", 1}},
    {"\xc3\xbcn\xc3\xaf.txt", {"New", 1}},
    {".hidden", {"New", 1}},
    {"caf\\xe9.txt", {"New", 1}},
    {"Case.txt", {"New", 1}},          // letter case counts
    {"two.txt", {"New", 2}},
};

// Entries to delete, kept apart as "kind" is listed from each side.
const std::map<std::string, int> kToDelete{
    {"kind", 1}, {"case.txt", 1}, {"gone.txt", 1}, {"gonedir", 1}, {"gonedir/sub", 1}, {"gonedir/sub/x.txt", 1},
    {"old2.txt", 2},
};

// Update: 16 entries of 8+4+3+0+0+1+2+7+0+1+2+1+1+5+1+2 = 38 bytes; to remove:
// 7 entries of 8+1+4+0+0+2+3 = 18 bytes.
const char kStatisticsLine[] = "Analysis: Update - 16 [38 b]  |  To remove - 7 [18 b]";

void WriteBytes(const std::string& path, const std::string& bytes, time_t mtime = kT0) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
    const timespec times[2] = {{mtime, 0}, {mtime, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

void MakeDir(const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path; }

void MakeLink(const std::string& target, const std::string& path) {
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0) << path;
    const timespec times[2] = {{kT0, 0}, {kT0, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// A name as the tool prints it: valid UTF-8 as it is, otherwise bytes of 0x80
// and above as \xHH (enough for the names of this tree).
std::string Printed(const std::string& name) {
    if (QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toUtf8() ==
        QByteArray(name.data(), static_cast<qsizetype>(name.size())))
        return name;
    std::string out;
    for (const unsigned char c : name) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

// Relative paths below root, breadth-first, each folder in readdir order;
// links are not entered.
std::vector<std::string> BreadthFirst(const std::string& root) {
    std::vector<std::string> paths;
    std::deque<std::string> pending{""};
    while (!pending.empty()) {
        const std::string sub = pending.front();
        pending.pop_front();
        DIR* dir = ::opendir((root + sub).c_str());
        if (!dir)
            continue;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            paths.push_back(Printed(sub + name));
            struct stat st {};
            if (::lstat((root + sub + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                pending.push_back(sub + name + "/");
        }
        ::closedir(dir);
    }
    return paths;
}

class CliAnalysisListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = QFile::encodeName(sandbox.path()).toStdString() + "/";
        for (const char* folder : {"data", "src1", "dst1", "src2", "dst2"})
            MakeDir(root + folder);
        MakeTree();
        WriteIni();
    }
    void TearDown() override { RemoveDeepContent(sandbox.path()); }

    std::string S(const std::string& rel) const { return root + "src1/" + rel; }
    std::string D(const std::string& rel) const { return root + "dst1/" + rel; }

    void MakeTree() {
        WriteBytes(S("same.txt"), "same");
        WriteBytes(D("same.txt"), "same");
        WriteBytes(S("changed.txt"), "changed!");
        WriteBytes(D("changed.txt"), "chg");
        WriteBytes(S("newer.txt"), "abcd");
        WriteBytes(D("newer.txt"), "wxyz", kT0 + 10);
        WriteBytes(S("close.txt"), "abcd");
        WriteBytes(D("close.txt"), "wxyz", kT0 + 1);
        WriteBytes(S("new.txt"), "new");
        WriteBytes(S("skip.tmp"), "x");
        WriteBytes(D("stale.tmp"), "x");
        MakeDir(S("cache"));
        WriteBytes(S("cache/c.txt"), "c");
        MakeDir(D("cache"));
        WriteBytes(D("cache/d.txt"), "d");
        MakeDir(S("newdir"));
        MakeDir(S("newdir/inner"));
        WriteBytes(S("newdir/inner/f.txt"), "f");
        MakeDir(S("common"));
        MakeDir(D("common"));
        WriteBytes(S("common/a.txt"), "aa");
        WriteBytes(S("common/b.txt"), "b");
        WriteBytes(D("common/b.txt"), "b");
        MakeLink("same.txt", S("link"));
        MakeLink("same.txt", D("link"));
        MakeLink("new.txt", S("newlink"));
        MakeDir(S("kind"));
        WriteBytes(S("kind/k.txt"), "k");
        WriteBytes(D("kind"), "kindfile");
        WriteBytes(S(" space name.txt"), "sp");
        WriteBytes(S("\xc3\xbcn\xc3\xaf.txt"), "u");
        WriteBytes(S(".hidden"), "h");
        WriteBytes(S("caf\xe9.txt"), "latin");
        WriteBytes(S("Case.txt"), "c");
        WriteBytes(D("case.txt"), "c");
        ASSERT_EQ(::mkfifo(S("pipe").c_str(), 0644), 0);
        ASSERT_EQ(::mkfifo(D("pipe2").c_str(), 0644), 0);
        WriteBytes(D("gone.txt"), "gone");
        MakeDir(D("gonedir"));
        MakeDir(D("gonedir/sub"));
        WriteBytes(D("gonedir/sub/x.txt"), "xx");
        WriteBytes(D(".nvsync-0123456789abcdef"), "tmp");
        WriteBytes(root + "src2/two.txt", "22");
        WriteBytes(root + "dst2/old2.txt", "old");
    }

    void WriteIni() const {
        std::string ini = "\xEF\xBB\xBF[SyncList]\r\n";
        ini += std::string(kUid) + "=Mixed\r\n[" + kUid + "_st]\r\nDelToRecycle=0\r\nSkipHiddenSystem=0\r\n" +
               "AutoMode=0\r\nCheckType=1\r\n[" + kUid + "_Ex]\r\nv0=*.tmp\r\nv1=/cache/\r\n[" + kUid + "]\r\n";
        for (int n = 1; n <= 2; ++n)
            ini += "f1_" + std::to_string(n) + "=" + root + "src" + std::to_string(n) + "/\r\nf2_" +
                   std::to_string(n) + "=" + root + "dst" + std::to_string(n) + "/\r\n";
        WriteBytes(root + "data/Backup.ini", ini);
    }

    QStringList Cli(const QStringList& args) const {
        QProcess process;
        process.start(NORVANE_CLI_PATH, QStringList{"--data-dir", sandbox.file("data")} + args);
        process.waitForFinished(60000);
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    // The lines "status<TAB>path" in the order the result list must hold them:
    // new and changed entries of every pair in their source's listing order,
    // then the entries to delete of every pair in their storage's listing order.
    std::vector<std::string> ExpectedLines() const {
        std::vector<std::string> lines;
        for (int pair = 1; pair <= 2; ++pair)
            for (const std::string& path : BreadthFirst(root + "src" + std::to_string(pair) + "/")) {
                const auto it = kExpected.find(path);
                if (it != kExpected.end() && it->second.pair == pair && it->second.status != "To delete")
                    lines.push_back(it->second.status + "\t" + path);
            }
        for (int pair = 1; pair <= 2; ++pair)
            for (const std::string& path : BreadthFirst(root + "dst" + std::to_string(pair) + "/")) {
                const auto it = kToDelete.find(path);
                if (it != kToDelete.end() && it->second == pair)
                    lines.push_back("To delete\t" + path);
            }
        return lines;
    }

    TestSandbox sandbox;
    std::string root;
};

TEST_F(CliAnalysisListingTest, EveryKindOfDifferenceIsListedInListingOrder) {
    const std::vector<std::string> expected = ExpectedLines();
    // Every hand-listed entry was found by the independent listing.
    ASSERT_EQ(expected.size(), kExpected.size() + kToDelete.size());

    const QStringList out = Cli({"analyse", "--entries", kUid});
    ASSERT_GE(out.size(), 3);
    EXPECT_EQ(out[0].toStdString(), "Mixed");
    EXPECT_EQ(out[2].toStdString(), kStatisticsLine);
    std::vector<std::string> listed;
    for (const QString& line : out.mid(3))
        listed.push_back(line.toStdString());
    EXPECT_EQ(listed, expected);
    // The analysis changes nothing, not even the leftover of a stopped run.
    EXPECT_TRUE(QFile::exists(sandbox.file("dst1/.nvsync-0123456789abcdef")));
    EXPECT_FALSE(QFile::exists(sandbox.file("dst1/new.txt")));
}

TEST_F(CliAnalysisListingTest, ARunLeavesNothingForTheNextAnalysis) {
    const QStringList run = Cli({"run", kUid});
    ASSERT_GE(run.size(), 3);
    EXPECT_FALSE(QFile::exists(sandbox.file("dst1/.nvsync-0123456789abcdef")));
    EXPECT_FALSE(QFile::exists(sandbox.file("dst1/gonedir")));
    EXPECT_TRUE(QFile::exists(sandbox.file("dst1/kind/k.txt")));
    EXPECT_EQ(sandbox.readFile("dst1/changed.txt"), "changed!");
    EXPECT_EQ(sandbox.readFile("dst1/newer.txt"), "abcd");
    // Excluded and system entries of the storage side are left alone.
    EXPECT_TRUE(QFile::exists(sandbox.file("dst1/stale.tmp")));
    EXPECT_TRUE(QFile::exists(sandbox.file("dst1/cache/d.txt")));
    struct stat st {};
    EXPECT_EQ(::lstat(D("pipe2").c_str(), &st), 0);
    EXPECT_NE(::lstat(D("pipe").c_str(), &st), 0);
    ASSERT_EQ(::lstat(D("newlink").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    const QStringList again = Cli({"analyse", "--entries", kUid});
    ASSERT_EQ(again.size(), 3) << again.join('\n').toStdString();
    EXPECT_EQ(again[2].toStdString(), "Analysis: Update - 0 [0 b]  |  To remove - 0 [0 b]");
}

} // namespace
