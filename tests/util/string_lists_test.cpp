#include "util/path_delim.h"
#include "util/string_lists.h"

#include "test_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(RemoveDuplicateLines, KeepsFirstOfEachLineIgnoringCaseAndDropsBlanks) {
    QStringList list{"a", " ", "", "A", "b ", "b", "B ", "  c", "\t", "C"};
    RemoveDuplicateLines(list);
    // "b " and "b" differ untrimmed, so both stay; "C" differs from "  c".
    EXPECT_EQ(list, QStringList({"a", "b ", "b", "  c", "C"}));

    QStringList cyrillic{QString::fromUtf8("Папка"), QString::fromUtf8("ПАПКА"), QString::fromUtf8("папка2")};
    RemoveDuplicateLines(cyrillic);
    EXPECT_EQ(cyrillic, QStringList({QString::fromUtf8("Папка"), QString::fromUtf8("папка2")}));

    QStringList empty;
    RemoveDuplicateLines(empty);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(RemoveListedLines, DeletesLinesEqualAfterTrimmingIgnoringCase) {
    QStringList list{"Alpha", " beta ", "Gamma", "alpha", "delta", "  "};
    RemoveListedLines(list, {" ALPHA", "Beta", "delt", ""});
    EXPECT_EQ(list, QStringList({"Gamma", "delta"}));

    QStringList untouched{"x", "y"};
    RemoveListedLines(untouched, {});
    EXPECT_EQ(untouched, QStringList({"x", "y"}));
}

TEST(IncludeBackslash, AppendsTheSeparatorOnlyWhenMissing) {
    EXPECT_EQ(kPathDelim, QLatin1Char('/'));
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {{"", ""}, {"/tmp", "/tmp/"}, {"/tmp/", "/tmp/"}, {"/", "/"}, {"a\\", "a\\/"}, {"rel", "rel/"}};
    for (const auto& c : cases)
        EXPECT_EQ(IncludeBackslash(QString::fromLatin1(c.path)), QString::fromLatin1(c.expected)) << c.path;
}

TEST(ListFilesByMask, ListsMatchingPlainFilesWithTheMasksFolder) {
    TestSandbox sandbox;
    for (const char* name : {"a.txt", "B.TXT", "c.dat", ".hidden.txt", "notes.txt.bak"})
        sandbox.writeFile(QString::fromLatin1(name), "x");
    ASSERT_TRUE(QDir(sandbox.path()).mkdir("folder.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(sandbox.file("pipe.txt")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(sandbox.file("a.txt"), sandbox.file("link.txt")));
    ASSERT_TRUE(QFile::link(sandbox.file("folder.txt"), sandbox.file("dirlink.txt")));

    QStringList list{"stale entry"};
    const QString folder = sandbox.path() + kPathDelim;
    ListFilesByMask(list, folder + "*.txt");
    list.sort();
    EXPECT_EQ(list, QStringList({folder + "B.TXT", folder + "a.txt", folder + "link.txt"}));

    ListFilesByMask(list, folder + "?.dat");
    EXPECT_EQ(list, QStringList({folder + "c.dat"}));
}

TEST(ListFilesByMask, MissingFolderGivesAnEmptyList) {
    TestSandbox sandbox;
    QStringList list{"stale entry"};
    ListFilesByMask(list, sandbox.file("no such folder/*"));
    EXPECT_TRUE(list.isEmpty());
    list = QStringList{"stale entry"};
    ListFilesByMask(list, QString());
    EXPECT_TRUE(list.isEmpty());
}
