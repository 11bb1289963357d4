#include "os/trash.h"
#include "util/trash.h"

#include "env_guard.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
