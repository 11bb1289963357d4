#include "zip/zip_names.h"

#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

#include <limits>

namespace {

// A function, not a constant: the date helpers are not ready during static initialisation.
TDateTime March5() { return EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 0); }

TEST(ExpandNameTemplate, PlaceholdersAndForbiddenCharacters) {
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"Docs_%Y-%M-%D.zip", "Docs_2024-03-05.zip"},
        {"%H%N%S.zip", "070809.zip"},
        {"Day%D.zip", "Day05.zip"},
        {"%Y/Docs.zip", "2024/Docs.zip"},
        {"a:b?.zip", "ab.zip"},
        {"*|\"<>?:x.zip", "x.zip"},
        {"back\\slash.zip", "backslash.zip"}, // "\" is what this platform's separator replaces
        {"a//b///c.zip", "a/b/c.zip"},
        {"a/\\/b.zip", "a/b.zip"}, // removed characters first, then doubled separators
        {"  spaced %d.zip  ", "spaced %d.zip"}, // placeholders are case-sensitive
        {"%Q-%Y", "-2024"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandNameTemplate(QString::fromUtf8(c.pattern), QString(), March5()), QString::fromUtf8(c.expected))
            << c.pattern;
    EXPECT_EQ(ExpandNameTemplate("%Q.zip", "Photos", March5()), "Photos.zip");
}

TEST(ExpandNameTemplate, OnlyTheFileNameAfterAFolderIsCut) {
    const QString longName(300, u'x');
    EXPECT_EQ(ExpandNameTemplate("sub/" + longName, QString(), March5()), "sub/" + QString(245, u'x'));
    EXPECT_EQ(ExpandNameTemplate(longName, QString(), March5()), longName);
    // A character outside the basic plane is never cut in half.
    const QString wide = QString(244, u'x') + QString::fromUtf8("\xF0\x9F\x98\x80") + "y";
    EXPECT_EQ(ExpandNameTemplate("d/" + wide, QString(), March5()), "d/" + QString(244, u'x'));
}

TEST(ExpandNameTemplate, NeverLeavesTheTargetFolder) {
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"../x.zip", "x.zip"},
        {"../../etc/x.zip", "etc/x.zip"},
        {"a/../../b.zip", "a/b.zip"},
        {"/abs/x.zip", "abs/x.zip"},
        {"./x.zip", "x.zip"},
        {"..", ""},
        {"..%Y/x.zip", "..2024/x.zip"}, // a name that merely starts with dots stays
        {"a/.../b.zip", "a/.../b.zip"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandNameTemplate(QString::fromUtf8(c.pattern), QString(), March5()), QString::fromUtf8(c.expected))
            << c.pattern;
    // A placeholder value cannot climb out either.
    EXPECT_EQ(ExpandNameTemplate("%Q/x.zip", "..", March5()), "x.zip");
}

TEST(ArchiveNameFits, EachNameWithinTheFileSystemLimitInBytes) {
    const QString cyrillic = QString::fromUtf8("\xD0\x96"); // two bytes in UTF-8
    const struct {
        QString name;
        bool fits;
    } cases[] = {
        {QString(245, u'x'), true},
        {QString(246, u'x'), false}, // no room left for the writer's temporary suffix
        {QString(255, u'd') + "/x.zip", true},
        {QString(256, u'd') + "/x.zip", false},
        {cyrillic.repeated(122), true},
        {cyrillic.repeated(123), false}, // 123 characters, 246 bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(ArchiveNameFits(c.name), c.fits) << c.name.size();
}

TEST(SplitVolumeSuffix, TwoDigitsBelowTenThenPlainDecimal) {
    EXPECT_EQ(SplitVolumeSuffix(1), ".z01");
    EXPECT_EQ(SplitVolumeSuffix(9), ".z09");
    EXPECT_EQ(SplitVolumeSuffix(10), ".z10");
    EXPECT_EQ(SplitVolumeSuffix(100), ".z100");
}

TEST(ArchiveBaseName, FileNameWithoutFolderAndExtension) {
    EXPECT_EQ(ArchiveBaseName("/b/Backup[1].zip"), "Backup[1]");
    EXPECT_EQ(ArchiveBaseName("/b.d/Backup"), "Backup");
    EXPECT_EQ(ArchiveBaseName("/b/a.b.zip"), "a.b");
}

// Names that "exist" for ChooseArchiveTarget.
struct Taken {
    QSet<QString> names;
    bool operator()(const QString& path) const { return names.contains(path); }
};

TEST(ChooseArchiveTarget, IndexFollowsTheLatestArchive) {
    const struct {
        TZipVersion type;
        int lastIndex;
        QSet<QString> taken;
        const char* expectedPath;
        int expectedIndex;
    } cases[] = {
        {TZipVersion::zvNone, 4, {"/t/B.zip"}, "/t/B.zip", 0},                 // replaced, index reset
        {TZipVersion::zvItems, 0, {}, "/t/B.zip", 0},                          // first archive of a name
        {TZipVersion::zvItems, 0, {"/t/B.zip"}, "/t/B[1].zip", 1},             // latest exists
        {TZipVersion::zvDates, 1, {"/t/B.zip", "/t/B[1].zip"}, "/t/B[2].zip", 2},
        {TZipVersion::zvItems, 2, {"/t/B.zip"}, "/t/B[1].zip", 1},             // latest gone, plain name taken
        {TZipVersion::zvItems, 2, {}, "/t/B.zip", 0},                          // latest gone: numbering restarts
        {TZipVersion::zvItems, 0, {"/t/B.zip", "/t/B[1].zip"}, "/t/B[2].zip", 2}, // never over another file
    };
    for (const auto& c : cases) {
        const TArchiveTarget target = ChooseArchiveTarget("/t/", "B.zip", c.type, c.lastIndex, Taken{c.taken});
        EXPECT_EQ(target.Path, QString::fromUtf8(c.expectedPath)) << c.expectedPath;
        EXPECT_EQ(target.FVLastIndex, c.expectedIndex) << c.expectedPath;
    }
}

TEST(ChooseArchiveTarget, IndexNeverOverflows) {
    const QString top = "/t/B[" + QString::number(kMaxFVLastIndex) + "].zip";
    // From the highest index numbering goes on at 1, past names that are taken.
    TArchiveTarget target = ChooseArchiveTarget("/t/", "B.zip", TZipVersion::zvItems, kMaxFVLastIndex,
                                                Taken{{top, "/t/B.zip", "/t/B[1].zip"}});
    EXPECT_EQ(target.Path, "/t/B[2].zip");
    EXPECT_EQ(target.FVLastIndex, 2);
    // An index out of range (as a hand-edited file may hold) starts from the plain name.
    for (const int stored : {std::numeric_limits<int>::max(), -5}) {
        target = ChooseArchiveTarget("/t/", "B.zip", TZipVersion::zvItems, stored, Taken{{"/t/B.zip"}});
        EXPECT_EQ(target.Path, "/t/B[1].zip") << stored;
        EXPECT_EQ(target.FVLastIndex, 1) << stored;
    }
    EXPECT_EQ(ClampFVLastIndex(std::numeric_limits<int>::max()), 0);
    EXPECT_EQ(ClampFVLastIndex(kMaxFVLastIndex), kMaxFVLastIndex);
    EXPECT_EQ(ClampFVLastIndex(-1), 0);
}

TEST(ChooseArchiveTarget, ExtensionIsTakenFromTheFileNameOnly) {
    EXPECT_EQ(ChooseArchiveTarget("/t/", "v1.2/Docs", TZipVersion::zvItems, 0, Taken{{"/t/v1.2/Docs"}}).Path,
              "/t/v1.2/Docs[1]");
    EXPECT_EQ(ChooseArchiveTarget("/t/", "2024/Docs.zip", TZipVersion::zvItems, 0, Taken{{"/t/2024/Docs.zip"}}).Path,
              "/t/2024/Docs[1].zip");
}

class SplitVolumeFiles : public ::testing::Test {
protected:
    SplitVolumeFiles() { QDir().mkpath(Folder()); }
    void Touch(const QString& name, const QByteArray& bytes = "x") const { sandbox.writeFile("f/" + name, bytes); }
    QByteArray Read(const QString& name) const { return sandbox.readFile("f/" + name); }
    QStringList Names() const {
        QStringList names = QDir(Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }
    QString Folder() const { return sandbox.path() + "/f/"; }
    TestSandbox sandbox;
};

TEST_F(SplitVolumeFiles, DeleteStopsAtTheFirstGapAndKeepsTheLastSegment) {
    for (const char* name : {"a.z01", "a.z02", "a.z03", "a.z05", "a.zip", "ab.z01", "a.Z04"})
        Touch(name);
    DeleteSplitVolumes("a", Folder());
    EXPECT_EQ(Names(), QStringList({"a.Z04", "a.z05", "a.zip", "ab.z01"}));
}

TEST_F(SplitVolumeFiles, DeleteGoesPastTenAndPastASegmentItCannotDelete) {
    for (int k = 1; k <= 11; ++k)
        Touch("a" + SplitVolumeSuffix(k));
    QFile::remove(Folder() + "a.z03");
    QDir().mkpath(Folder() + "a.z03"); // cannot be deleted as a file
    DeleteSplitVolumes("a", Folder());
    EXPECT_EQ(Names(), QStringList({"a.z03"}));
}

TEST_F(SplitVolumeFiles, RenameReplacesSegmentsOfTheNewBase) {
    Touch("tmp.z01", "new1");
    Touch("tmp.z02", "new2");
    Touch("a.z01", "old1");
    EXPECT_TRUE(RenameSplitVolumes("tmp", "a", Folder()));
    EXPECT_EQ(Names(), QStringList({"a.z01", "a.z02"}));
    EXPECT_EQ(Read("a.z01"), "new1");
    EXPECT_EQ(Read("a.z02"), "new2");
}

TEST_F(SplitVolumeFiles, RenameReportsAFailureAndGoesOn) {
    Touch("tmp.z01", "new1");
    Touch("tmp.z02", "new2");
    QDir().mkpath(Folder() + "a.z01");
    EXPECT_FALSE(RenameSplitVolumes("tmp", "a", Folder()));
    EXPECT_TRUE(QFileInfo(Folder() + "a.z01").isDir());
    EXPECT_EQ(Read("a.z02"), "new2");
}

} // namespace
