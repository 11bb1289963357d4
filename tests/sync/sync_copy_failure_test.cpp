// A copy that cannot be completed leaves the previous copy as it was and no
// temporary file beside it, and its error names the path and the system's
// reason.

#include "sync_run_support.h"

#include "sync/sync_copy.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Marks a file immutable (nothing may replace, rename or remove it, not even
// root) while it lives; ok() is false on a file system without the flag.
class TImmutable {
public:
    explicit TImmutable(const QString& path) : fPath(path) { fOk = SetFlag(true); }
    ~TImmutable() {
        if (fOk)
            SetFlag(false);
    }
    bool ok() const { return fOk; }

private:
    bool SetFlag(bool on) const {
        const int fd = ::open(fPath.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }
    QString fPath;
    bool fOk = false;
};

class CopyFailureTest : public SyncRunTest {
protected:
    QString Source() const { return src() + "new.bin"; }
    QString Target() const { return dst() + "kept.bin"; }

    // Copies Source() over Target() and checks what every failure must leave.
    void ExpectFailureKeepsTarget(const QString& source, const QString& target, int reason, const QString& namedPath) {
        std::atomic<bool> stop{false};
        QString why;
        EXPECT_EQ(CopyOneFile(source, target, 65536, stop, {}, nullptr, &why), TCopyOutcome::Failed);
        EXPECT_TRUE(why.startsWith(namedPath + ": ")) << why.toStdString();
        EXPECT_TRUE(why.endsWith(QString::fromLocal8Bit(std::strerror(reason)))) << why.toStdString();
        ExpectOnlyTheOldCopy(target);
    }

    void ExpectOnlyTheOldCopy(const QString& target) {
        const QStringList left = FilesBelow(dst());
        for (const QString& name : left) {
            EXPECT_FALSE(name.startsWith(QLatin1String(kSyncTempPrefix))) << name.toStdString();
        }
        if (QFileInfo(target).isFile()) {
            EXPECT_EQ(Read(target), "previous copy");
        }
    }

    void SetUp() override {
        Write(Source(), QByteArray(65536, 'n'));
        Write(Target(), "previous copy");
    }
};

TEST_F(CopyFailureTest, AVanishedSourceNamesTheSource) {
    ExpectFailureKeepsTarget(src() + "gone.bin", Target(), ENOENT, src() + "gone.bin");
}

TEST_F(CopyFailureTest, AFolderInTheWayStaysAndTheRenameIsReported) {
    QDir().mkpath(dst() + "folder.bin/inside");
    ExpectFailureKeepsTarget(Source(), dst() + "folder.bin", EISDIR, dst() + "folder.bin");
    EXPECT_TRUE(QFileInfo(dst() + "folder.bin/inside").isDir());
}

TEST_F(CopyFailureTest, ARefusedRenameKeepsThePreviousCopy) {
    const TImmutable locked(Target());
    if (!locked.ok())
        GTEST_SKIP() << "the file system has no immutable flag";
    ExpectFailureKeepsTarget(Source(), Target(), EPERM, Target());
}

TEST_F(CopyFailureTest, AMissingStorageFolderNamesTheTarget) {
    const QString target = dst() + "absent/kept.bin";
    ExpectFailureKeepsTarget(Source(), target, ENOENT, target);
}

// A file-size limit makes the writes fail as a full disk does; the copy runs
// in a child process so that the limit stays there.
TEST_F(CopyFailureTest, AWriteThatFailsKeepsThePreviousCopy) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::atomic<bool> stop{false};
        QString why;
        const TCopyOutcome outcome = CopyOneFile(Source(), Target(), 65536, stop, {}, nullptr, &why);
        const QByteArray report = QByteArray::number(static_cast<int>(outcome)) + '\n' + why.toUtf8();
        [[maybe_unused]] const ssize_t sent = ::write(pipeFds[1], report.constData(), report.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    QByteArray report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    const QList<QByteArray> lines = report.split('\n');
    ASSERT_EQ(lines.size(), 2) << report.toStdString();
    EXPECT_EQ(lines[0].toInt(), static_cast<int>(TCopyOutcome::Failed));
    const QString why = QString::fromUtf8(lines[1]);
    EXPECT_TRUE(why.startsWith(Target() + ": ")) << why.toStdString();
    EXPECT_TRUE(why.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG)))) << why.toStdString();
    ExpectOnlyTheOldCopy(Target());
}

} // namespace
