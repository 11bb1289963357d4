// Copying through the command-line tool onto real file systems: a tree of
// many small files and a few large ones ends equal to its source (diff -r)
// on the source's own file system and on another one (where the kernel's
// in-place copy is refused and plain reads and writes take over), and a full
// storage volume keeps the previous copy and names the file and the reason.

#include "test_env.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

const char kUid[] = "SNK202401020304059876";

// A small tmpfs mounted at a folder while it lives; ok() is false where
// mounting is not allowed.
class TTmpfs {
public:
    TTmpfs(const QString& at, const char* size) : fAt(at.toLocal8Bit()) {
        QDir().mkpath(at);
        fOk = ::mount("tmpfs", fAt.constData(), "tmpfs", 0, (QByteArray("size=") + size).constData()) == 0;
    }
    ~TTmpfs() {
        if (fOk)
            ::umount2(fAt.constData(), MNT_DETACH);
    }
    bool ok() const { return fOk; }

private:
    QByteArray fAt;
    bool fOk = false;
};

class CliSyncCopyTest : public ::testing::Test {
protected:
    QString Src() const { return sandbox.file("src/"); }
    QString Storage() const { return sandbox.file("mnt/dst/"); }

    int Run(QString* output) {
        QByteArray ini = "\xEF\xBB\xBF[SyncList]\r\n";
        ini += QByteArray(kUid) + "=Copy\r\n[" + kUid + "_st]\r\nDelToRecycle=0\r\nSkipHiddenSystem=0\r\nAutoMode=0\r\n[" +
               kUid + "]\r\nf1_1=" + Src().toUtf8() + "\r\nf2_1=" + Storage().toUtf8() + "\r\n";
        sandbox.writeFile("data/Backup.ini", ini);
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(NORVANE_CLI_PATH, {"--data-dir", sandbox.file("data"), "run", kUid});
        process.waitForFinished(120000);
        *output = QString::fromUtf8(process.readAll());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // Files under the storage folder whose names mark a temporary copy.
    QStringList TemporaryFiles() const {
        QStringList found;
        QDirIterator it(Storage(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (const QString path = it.next(); it.fileName().startsWith(".nvsync-"))
                found << path;
        return found;
    }

    TestSandbox sandbox;
};

// A source tree with many small files in nested folders, empty and large
// files, permission bits and names with spaces and non-ASCII letters.
void MakeTree(const TestSandbox& sandbox) {
    for (int folder = 0; folder < 12; ++folder)
        for (int file = 0; file < 25; ++file)
            sandbox.writeFile(QStringLiteral("src/f%1/g%2/n%3.txt").arg(folder).arg(folder % 3).arg(file),
                              QByteArray(file * 37 + folder, static_cast<char>('a' + file % 26)));
    sandbox.writeFile("src/empty", "");
    QByteArray large(3 * 1048576 + 11, '\0');
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>((i * 131) >> 3);
    sandbox.writeFile("src/large.bin", large);
    sandbox.writeFile("src/Müller Straße.txt", "umlaut");
    sandbox.writeFile("src/private.txt", "owner only");
    ::chmod(sandbox.file("src/private.txt").toLocal8Bit().constData(), 0600);
    sandbox.writeFile("src/f1/read-only.txt", "read only");
    ::chmod(sandbox.file("src/f1/read-only.txt").toLocal8Bit().constData(), 0444);
}

struct StorageCase {
    const char* name;
    bool ownFileSystem;
};

class CliSyncCopyTreeTest : public CliSyncCopyTest, public ::testing::WithParamInterface<StorageCase> {};

TEST_P(CliSyncCopyTreeTest, TheCopiedTreeEqualsItsSourceWithModesAndTimes) {
    const QString diff = QStandardPaths::findExecutable("diff");
    if (diff.isEmpty())
        GTEST_SKIP() << "diff is not installed";
    std::unique_ptr<TTmpfs> volume;
    if (GetParam().ownFileSystem) {
        volume = std::make_unique<TTmpfs>(sandbox.file("mnt"), "64m");
        if (!volume->ok())
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    MakeTree(sandbox);
    sandbox.writeFile("mnt/dst/large.bin", "an older, shorter copy");
    QString output;
    // The second run replaces a changed file and a grown one over their previous copies.
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            sandbox.writeFile("src/f3/g0/n4.txt", "changed content of another length");
            sandbox.writeFile("src/empty", "no longer empty");
        }
        ASSERT_EQ(Run(&output), 0) << output.toStdString();
        QProcess process;
        process.start(diff, {"-r", Src(), Storage()});
        process.waitForFinished(120000);
        EXPECT_EQ(process.exitCode(), 0) << process.readAll().toStdString();
        EXPECT_TRUE(TemporaryFiles().isEmpty()) << TemporaryFiles().join(' ').toStdString();
    }
    for (const char* name : {"private.txt", "f1/read-only.txt", "large.bin", "f3/g0/n4.txt"}) {
        struct stat from {}, to {};
        ASSERT_EQ(::stat((Src() + name).toLocal8Bit().constData(), &from), 0);
        ASSERT_EQ(::stat((Storage() + name).toLocal8Bit().constData(), &to), 0);
        EXPECT_EQ(from.st_mode & 07777, to.st_mode & 07777) << name;
        EXPECT_EQ(from.st_mtim.tv_sec, to.st_mtim.tv_sec) << name;
        EXPECT_EQ(from.st_mtim.tv_nsec, to.st_mtim.tv_nsec) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Storage, CliSyncCopyTreeTest,
                         ::testing::Values(StorageCase{"SameFileSystem", false}, StorageCase{"OtherFileSystem", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliSyncCopyTest, AFullStorageVolumeKeepsThePreviousCopyAndNamesTheFileAndTheReason) {
    const TTmpfs volume(sandbox.file("mnt"), "256k");
    if (!volume.ok())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    sandbox.writeFile("src/big.bin", QByteArray(1048576, 'b'));
    sandbox.writeFile("src/small.txt", "fits");
    sandbox.writeFile("mnt/dst/big.bin", "previous copy");
    QString output;
    EXPECT_EQ(Run(&output), 1) << output.toStdString();
    EXPECT_TRUE(output.contains(Storage() + "big.bin: " + QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << output.toStdString();
    QFile kept(Storage() + "big.bin");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "previous copy");
    QFile small(Storage() + "small.txt");
    ASSERT_TRUE(small.open(QIODevice::ReadOnly));
    EXPECT_EQ(small.readAll(), "fits");
    EXPECT_TRUE(TemporaryFiles().isEmpty()) << TemporaryFiles().join(' ').toStdString();
}

} // namespace
