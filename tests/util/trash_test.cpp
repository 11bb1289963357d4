#include "os/trash.h"
#include "util/trash.h"

#include "util/native_path.h"

#include "deep_tree.h"
#include "env_guard.h"
#include "test_env.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(Trash, MovesAFileIntoTheUsersTrashWithItsRecord) {
    TestSandbox sandbox;
    sandbox.writeFile("work/doc.txt", "content");
    QString inTrash;
    ASSERT_TRUE(MoveToTrash(sandbox.file("work/doc.txt"), &inTrash));
    const QString trash = sandbox.path() + "/home/.local/share/Trash";
    EXPECT_FALSE(QFile::exists(sandbox.file("work/doc.txt")));
    EXPECT_TRUE(QFileInfo(inTrash).isAbsolute());
    EXPECT_EQ(QFileInfo(inTrash).canonicalPath(), QDir(trash + "/files").canonicalPath());
    QFile copy(inTrash);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "content");
    const QString record = trash + "/info/" + QFileInfo(inTrash).fileName() + ".trashinfo";
    QFile info(record);
    ASSERT_TRUE(info.open(QIODevice::ReadOnly)) << qPrintable(record);
    EXPECT_TRUE(info.readAll().contains("Path="));
}

TEST(Trash, CreatesAMissingDataFolderAndRefusesWhatIsNotThere) {
    TestSandbox sandbox;
    EnvGuard env;
    env.Set("XDG_DATA_HOME", QFile::encodeName(sandbox.file("fresh/data")));
    sandbox.writeFile("work/a.txt", "a");
    QString inTrash;
    ASSERT_TRUE(MoveToTrash(sandbox.file("work/a.txt"), &inTrash));
    EXPECT_TRUE(inTrash.startsWith(sandbox.file("fresh/data/Trash/files/"))) << qPrintable(inTrash);
    EXPECT_FALSE(MoveToTrash(sandbox.file("work/missing.txt")));
    EXPECT_FALSE(MoveToTrash(""));
}

TEST(Trash, EmptyingRemovesFilesAndRecordsButNeverFollowsLinks) {
    TestSandbox sandbox;
    sandbox.writeFile("work/one.txt", "1");
    sandbox.writeFile("work/Folder/two.txt", "2");
    sandbox.writeFile("keep/precious.txt", "keep me");
    ASSERT_TRUE(MoveToTrash(sandbox.file("work/one.txt")));
    ASSERT_TRUE(MoveToTrash(sandbox.file("work/Folder")));
    const QString trash = sandbox.path() + "/home/.local/share/Trash";
    ASSERT_TRUE(QFile::link(sandbox.file("keep"), trash + "/files/link-to-keep"));
    ASSERT_EQ(Entries(trash + "/files").size(), 3);
    ASSERT_EQ(Entries(trash + "/info").size(), 2);

    const std::vector<std::string> folders = os::TrashFolders();
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(QString::fromStdString(folders.front()), trash);
    os::EmptyTrashFolder(folders.front());
    EXPECT_TRUE(Entries(trash + "/files").isEmpty());
    EXPECT_TRUE(Entries(trash + "/info").isEmpty());
    EXPECT_TRUE(QDir(trash + "/files").exists());
    EXPECT_EQ(sandbox.readFile("keep/precious.txt"), "keep me");
}

} // namespace

// The checks below work on byte paths, since names that are not UTF-8 must
// reach the Trash, and its records, unchanged.

namespace {

QByteArray Bytes(const QString& path) { return QByteArray::fromStdString(PathToNative(path)); }

bool Exists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

void WriteBytes(const QByteArray& path, const QByteArray& content) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, content.constData(), static_cast<size_t>(content.size())), content.size());
    ::close(fd);
}

QByteArray ReadBytes(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return {};
    QByteArray content;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, n);
    ::close(fd);
    return content;
}

// Python's own percent decoder, so the check does not share this program's view.
std::optional<QByteArray> UnquoteWithPython(const QByteArray& encoded) {
    QProcess python;
    python.start("python3", {"-c", "import sys, urllib.parse; "
                                   "sys.stdout.buffer.write(urllib.parse.unquote_to_bytes(sys.stdin.buffer.read()))"});
    if (!python.waitForStarted())
        return std::nullopt;
    python.write(encoded);
    python.closeWriteChannel();
    python.waitForFinished();
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        return std::nullopt;
    return python.readAllStandardOutput();
}

// Checks the item at inTrash and its record: name within the limits, the
// record's three lines, a Path= that is percent-encoded and decodes to
// original, and a DeletionDate between the two given instants.
void ExpectTrashed(const QString& inTrash, const QByteArray& original, const QDateTime& before,
                   const QDateTime& after) {
    const QByteArray item = Bytes(inTrash);
    const qsizetype slash = item.lastIndexOf('/');
    const QByteArray name = item.mid(slash + 1);
    const QByteArray files = item.left(slash);
    ASSERT_TRUE(files.endsWith("/files")) << item.constData();
    EXPECT_TRUE(Exists(item)) << item.constData();
    EXPECT_LE(name.size() + 10, 255) << "the record's name must fit: " << name.constData();
    const QByteArray record = ReadBytes(files.chopped(5) + "info/" + name + ".trashinfo");
    ASSERT_FALSE(record.isEmpty()) << "no record for " << item.constData();
    const QList<QByteArray> lines = record.split('\n');
    ASSERT_GE(lines.size(), 3) << record.constData();
    EXPECT_EQ(lines[0], "[Trash Info]");
    QByteArray path, date;
    for (const QByteArray& line : lines.mid(1)) {
        if (line.startsWith("Path="))
            path = line.mid(5);
        else if (line.startsWith("DeletionDate="))
            date = line.mid(13);
    }
    static const QRegularExpression encodedPath(R"(^[A-Za-z0-9/\-_.!~*'()%]+$)");
    EXPECT_TRUE(encodedPath.match(QString::fromLatin1(path)).hasMatch()) << "not percent-encoded: " << path.constData();
    const auto decoded = UnquoteWithPython(path);
    ASSERT_TRUE(decoded.has_value()) << "python3 could not decode the path";
    EXPECT_EQ(*decoded, original);
    static const QRegularExpression isoDate(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$)");
    EXPECT_TRUE(isoDate.match(QString::fromLatin1(date)).hasMatch()) << date.constData();
    const QDateTime deleted = QDateTime::fromString(QString::fromLatin1(date), Qt::ISODate);
    EXPECT_GE(deleted.toSecsSinceEpoch(), before.toSecsSinceEpoch()) << date.constData();
    EXPECT_LE(deleted.toSecsSinceEpoch(), after.toSecsSinceEpoch()) << date.constData();
}

// Names that are not UTF-8 are beyond what QTemporaryDir can remove.
class TrashBytesTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveDeepContent(sandbox.path()); }
    QString TrashFolder() const { return sandbox.path() + "/home/.local/share/Trash"; }
    TestSandbox sandbox;
};

TEST_F(TrashBytesTest, NamesThatNeedEncodingKeepEveryByteInTheRecord) {
    const QByteArray work = Bytes(sandbox.file("work/"));
    ASSERT_EQ(::mkdir(work.constData(), 0755), 0);
    const QList<QByteArray> names{"with space.txt",  "100% sure.txt", "hash#and?query&more.txt",
                                  "caf\xe9.txt",     "\xff\xfe",      "\xc3\xbcnic\xc3\xb6" "de.txt",
                                  "two\nlines.txt",  "plus+equals=.txt"};
    for (const QByteArray& name : names) {
        SCOPED_TRACE(name.toHex().toStdString());
        const QByteArray original = work + name;
        WriteBytes(original, "content of " + name);
        const QDateTime before = QDateTime::currentDateTime();
        QString inTrash, why;
        ASSERT_TRUE(MoveToTrash(PathFromNative(original.toStdString()), &inTrash, &why)) << why.toStdString();
        const QDateTime after = QDateTime::currentDateTime();
        EXPECT_FALSE(Exists(original));
        EXPECT_EQ(ReadBytes(Bytes(inTrash)), "content of " + name);
        ExpectTrashed(inTrash, original, before, after);
    }
}

TEST_F(TrashBytesTest, LongNamesGetAShortenedUniqueNameAndKeepTheirWholePath) {
    const QByteArray work = Bytes(sandbox.file("work/"));
    ASSERT_EQ(::mkdir(work.constData(), 0755), 0);
    const QByteArray twoByte = QByteArray("\xc3\xa9").repeated(127) + "x.txt"; // 259 bytes: too long as it is
    struct Case {
        QByteArray name;
        bool folder;
    };
    const QList<Case> cases{{QByteArray(246, 'a'), false},
                            {QByteArray(250, 'b') + ".txt", false},
                            {QByteArray(255, 'c'), false},
                            {QByteArray(255, 'c'), false}, // the same name again: a second free name
                            {QByteArray(251, 'd') + ".doc", true},
                            {twoByte.left(255), false},
                            {QByteArray(245, 'e'), false},
                            {QByteArray(245, 'e'), false}};
    QSet<QString> landed;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.size());
        const QByteArray original = work + c.name;
        if (c.folder) {
            ASSERT_EQ(::mkdir(original.constData(), 0755), 0);
            WriteBytes(original + "/inner.txt", "inner");
        } else {
            WriteBytes(original, "long " + QByteArray::number(landed.size()));
        }
        const QDateTime before = QDateTime::currentDateTime();
        QString inTrash, why;
        ASSERT_TRUE(MoveToTrash(PathFromNative(original.toStdString()), &inTrash, &why)) << why.toStdString();
        const QDateTime after = QDateTime::currentDateTime();
        EXPECT_FALSE(Exists(original));
        EXPECT_FALSE(landed.contains(inTrash)) << "two items under one name";
        if (c.folder)
            EXPECT_EQ(ReadBytes(Bytes(inTrash) + "/inner.txt"), "inner");
        else
            EXPECT_EQ(ReadBytes(Bytes(inTrash)), "long " + QByteArray::number(landed.size()));
        ExpectTrashed(inTrash, original, before, after);
        // A shortened name is not cut inside a character.
        EXPECT_EQ(PathFromNative(PathToNative(inTrash)), inTrash);
        EXPECT_FALSE(Bytes(inTrash).contains("\xc3" "/")) << qPrintable(inTrash);
        landed.insert(inTrash);
    }
    EXPECT_EQ(QDir(TrashFolder() + "/info").entryList(QDir::Files).size(), cases.size());
}

TEST_F(TrashBytesTest, ALinkGoesItselfAndItsTargetStays) {
    sandbox.writeFile("keep/target.txt", "target content");
    const QByteArray work = Bytes(sandbox.file("work/"));
    ASSERT_EQ(::mkdir(work.constData(), 0755), 0);
    const QList<QPair<QByteArray, QByteArray>> links{{"dangling", "no/such/target"},
                                                     {"to-file", "../keep/target.txt"},
                                                     {"to-folder", Bytes(sandbox.file("keep"))}};
    for (const auto& [name, target] : links) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray original = work + name;
        ASSERT_EQ(::symlink(target.constData(), original.constData()), 0);
        const QDateTime before = QDateTime::currentDateTime();
        QString inTrash, why;
        ASSERT_TRUE(MoveToTrash(PathFromNative(original.toStdString()), &inTrash, &why)) << why.toStdString();
        const QDateTime after = QDateTime::currentDateTime();
        EXPECT_FALSE(Exists(original));
        char text[4096] = {};
        const ssize_t n = ::readlink(Bytes(inTrash).constData(), text, sizeof text - 1);
        ASSERT_GT(n, 0) << "the trash holds no link at " << qPrintable(inTrash);
        EXPECT_EQ(QByteArray(text, n), target);
        ExpectTrashed(inTrash, original, before, after);
    }
    EXPECT_EQ(sandbox.readFile("keep/target.txt"), "target content");
    EXPECT_EQ(Entries(sandbox.file("keep")), QStringList{"target.txt"});
}

TEST(Trash, AMoveThatCannotBeDoneLeavesTheItemAndNoRecordAndSaysWhy) {
    TestSandbox sandbox;
    EnvGuard env;
    // The data folder lies inside the folder to trash: the folder cannot move into itself.
    env.Set("XDG_DATA_HOME", QFile::encodeName(sandbox.file("work/data")));
    sandbox.writeFile("work/doc.txt", "stays");
    QString why;
    EXPECT_FALSE(MoveToTrash(sandbox.file("work"), nullptr, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(why.contains(sandbox.file("work/data/Trash/files"))) << why.toStdString();
    EXPECT_EQ(sandbox.readFile("work/doc.txt"), "stays");
    EXPECT_TRUE(Entries(sandbox.file("work/data/Trash/info")).isEmpty());

    // A trash that is a file cannot be used: nothing moves, the reason names it.
    env.Set("XDG_DATA_HOME", QFile::encodeName(sandbox.file("blocked")));
    sandbox.writeFile("blocked/Trash", "not a folder");
    why.clear();
    EXPECT_FALSE(MoveToTrash(sandbox.file("work/doc.txt"), nullptr, &why));
    EXPECT_TRUE(why.contains(sandbox.file("blocked/Trash"))) << why.toStdString();
    EXPECT_EQ(sandbox.readFile("work/doc.txt"), "stays");

    why.clear();
    EXPECT_FALSE(MoveToTrash(sandbox.file("work/missing.txt"), nullptr, &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST_F(TrashBytesTest, AnItemDeeperThanOneCallReachesTheTrash) {
    ASSERT_TRUE(QDir().mkpath(sandbox.file("work")));
    const std::string folderName(200, 'f');
    const QString chain = MakeDeepChain(sandbox.file("work"), folderName, 24);
    ASSERT_FALSE(chain.isEmpty());
    const int deepest = OpenDeepFolder(sandbox.file("work"), chain.toStdString());
    ASSERT_GE(deepest, 0);
    const int fd = ::openat(deepest, "deep file.txt", O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "deep", 4), 4);
    ::close(fd);
    const QByteArray original = Bytes(sandbox.file("work/") + chain + "/deep file.txt");
    ASSERT_GT(original.size(), PATH_MAX);
    const QDateTime before = QDateTime::currentDateTime();
    QString inTrash, why;
    ASSERT_TRUE(MoveToTrash(PathFromNative(original.toStdString()), &inTrash, &why)) << why.toStdString();
    const QDateTime after = QDateTime::currentDateTime();
    struct stat st {};
    EXPECT_NE(::fstatat(deepest, "deep file.txt", &st, AT_SYMLINK_NOFOLLOW), 0);
    ::close(deepest);
    EXPECT_EQ(ReadBytes(Bytes(inTrash)), "deep");
    ExpectTrashed(inTrash, original, before, after);
}

// A volume of its own at a sandbox folder: a tmpfs mounted in a mount
// namespace private to the test's thread, so nothing outside ever sees it.
class TPrivateVolume {
public:
    explicit TPrivateVolume(const QByteArray& folder) : fFolder(folder) {
        fMounted = ::mkdir(folder.constData(), 0755) == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                   ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                   ::mount("norvane-test", folder.constData(), "tmpfs", 0, "mode=0755") == 0;
    }
    ~TPrivateVolume() {
        if (fMounted)
            ::umount2(fFolder.constData(), MNT_DETACH);
    }
    TPrivateVolume(const TPrivateVolume&) = delete;
    TPrivateVolume& operator=(const TPrivateVolume&) = delete;
    bool mounted() const { return fMounted; }

private:
    QByteArray fFolder;
    bool fMounted = false;
};

TEST_F(TrashBytesTest, AnotherVolumeUsesItsOwnTrashAndNeverTheHomeTrash) {
    const QByteArray volume = Bytes(sandbox.file("volume"));
    TPrivateVolume mount(volume);
    if (!mount.mounted())
        GTEST_SKIP() << "no private mount possible here: " << std::strerror(errno);
    const QByteArray uid = QByteArray::number(::getuid());
    ASSERT_EQ(::mkdir((volume + "/dir").constData(), 0755), 0);
    struct Case {
        const char* setUp;       // what the volume holds before the move
        QByteArray expectedTrash; // empty: no trash can be used
    };
    const QList<Case> cases{{"nothing", volume + "/.Trash-" + uid},
                            {"a shared .Trash without the sticky bit", volume + "/.Trash-" + uid},
                            {"a sticky shared .Trash", volume + "/.Trash/" + uid},
                            {"a file as .Trash-uid", {}},
                            {"a link as .Trash-uid", {}}};
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setUp);
        const QByteArray original = volume + "/dir/item" + QByteArray::number(++index) + " %.txt";
        WriteBytes(original, "on its own volume");
        if (index == 2) {
            ASSERT_EQ(::mkdir((volume + "/.Trash").constData(), 0777), 0);
        }
        if (index == 3) {
            ASSERT_EQ(::chmod((volume + "/.Trash").constData(), 01777), 0);
        }
        if (index == 4) {
            ASSERT_EQ(::rename((volume + "/.Trash").constData(), (volume + "/shared-aside").constData()), 0);
            ASSERT_EQ(::rename((volume + "/.Trash-" + uid).constData(), (volume + "/own-aside").constData()), 0);
            WriteBytes(volume + "/.Trash-" + uid, "not a folder");
        }
        if (index == 5) {
            ASSERT_EQ(::unlink((volume + "/.Trash-" + uid).constData()), 0);
            ASSERT_EQ(::symlink("own-aside", (volume + "/.Trash-" + uid).constData()), 0);
        }
        const QDateTime before = QDateTime::currentDateTime();
        QString inTrash, why;
        const bool moved = MoveToTrash(PathFromNative(original.toStdString()), &inTrash, &why);
        const QDateTime after = QDateTime::currentDateTime();
        if (c.expectedTrash.isEmpty()) {
            EXPECT_FALSE(moved) << qPrintable(inTrash);
            EXPECT_TRUE(why.contains(PathFromNative((volume + "/.Trash-" + uid).toStdString()))) << qPrintable(why);
            EXPECT_EQ(ReadBytes(original), "on its own volume");
            continue;
        }
        ASSERT_TRUE(moved) << qPrintable(why);
        EXPECT_TRUE(Bytes(inTrash).startsWith(c.expectedTrash + "/files/")) << qPrintable(inTrash);
        EXPECT_FALSE(Exists(original));
        EXPECT_EQ(ReadBytes(Bytes(inTrash)), "on its own volume");
        // The record names the item relative to the volume's top folder.
        ExpectTrashed(inTrash, original.mid(volume.size() + 1), before, after);
    }
    // Nothing went into the home trash, and emptying knows both volume trashes.
    EXPECT_TRUE(Entries(TrashFolder() + "/files").isEmpty());
    ASSERT_EQ(::unlink((volume + "/.Trash-" + uid).constData()), 0);
    ASSERT_EQ(::rename((volume + "/own-aside").constData(), (volume + "/.Trash-" + uid).constData()), 0);
    ASSERT_EQ(::rename((volume + "/shared-aside").constData(), (volume + "/.Trash").constData()), 0);
    const std::vector<std::string> folders = os::TrashFolders();
    for (const QByteArray& trash : {volume + "/.Trash-" + uid, volume + "/.Trash/" + uid})
        EXPECT_NE(std::find(folders.begin(), folders.end(), trash.toStdString()), folders.end()) << trash.constData();
}

} // namespace
