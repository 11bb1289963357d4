#include "zip/zip_task.h"

#include "../sync/kind_test_support.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr TDateTime kHour = 1.0 / 24;

class ZipRotationTest : public KindTest {
protected:
    TLumo_Zip& MakeZip(TZipVersion type, int value, const TFileVersionList& versions) {
        TLumo_Zip& zip = TLumo_Zip::Create(*ctx, QString());
        TZip_Settings s;
        s.nUseVersions = type != TZipVersion::zvNone;
        s.nItemsVersions = type == TZipVersion::zvItems;
        s.nVersionsValue = value;
        s.nSetFileVerList = true;
        s.nFileVersionList = versions;
        zip.ApplyNewSettings(s, false);
        zip.SetClock([this] { return now; });
        return zip;
    }
    QString File(const QString& name) const { return sandbox.path() + "/out/" + name; }
    void Touch(const QString& name) const { sandbox.writeFile("out/" + name, "x"); }
    QStringList Names() const {
        QStringList names = QDir(sandbox.path() + "/out").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }
    QStringList ListedNames(const TLumo_Zip& zip) const {
        QStringList names;
        for (const TFileVersion& v : zip.FileVersionList())
            names << QFileInfo(v.Filename).fileName();
        return names;
    }
    bool VersionsSavePosted(const TLumo_Zip& zip) const {
        const auto requests = Requests();
        return std::any_of(requests.begin(), requests.end(), [&](const TSaveTask& t) {
            return t.fType == TSaveSetType::stZipFileversion && t.fUID == zip.UID();
        });
    }

    TDateTime now = EncodeDate(2024, 3, 5) + EncodeTime(12, 0, 30, 0);
};

TEST_F(ZipRotationTest, ByCountDropsTheOldestWithItsSegments) {
    for (const char* name : {"B.zip", "B.z01", "B.z02", "B[1].zip", "B[1].z01", "B[2].zip", "B[3].zip"})
        Touch(name);
    TLumo_Zip& zip = MakeZip(TZipVersion::zvItems, 3,
                             {{now - 4, File("B.zip")}, {now - 3, File("B[1].zip")}, {now - 2, File("B[2].zip")},
                              {now - 1, File("B[3].zip")}});
    zip.FVUpdate(&ctx->Saver());
    EXPECT_EQ(ListedNames(zip), QStringList({"B[1].zip", "B[2].zip", "B[3].zip"}));
    EXPECT_EQ(Names(), QStringList({"B[1].z01", "B[1].zip", "B[2].zip", "B[3].zip"}));
    EXPECT_TRUE(VersionsSavePosted(zip));
}

TEST_F(ZipRotationTest, ByAgeDropsWhatIsOlderThanTheDays) {
    for (const char* name : {"old.zip", "old.z01", "young.zip", "edge.zip"})
        Touch(name);
    // The cut-off is taken to the minute: 48 hours before now, seconds dropped.
    TLumo_Zip& zip = MakeZip(TZipVersion::zvDates, 2,
                             {{now - 49 * kHour, File("old.zip")},
                              {now - 48 * kHour, File("edge.zip")},
                              {now - 47 * kHour, File("young.zip")}});
    zip.FVUpdate(&ctx->Saver());
    EXPECT_EQ(ListedNames(zip), QStringList({"edge.zip", "young.zip"}));
    EXPECT_EQ(Names(), QStringList({"edge.zip", "young.zip"}));
    EXPECT_TRUE(VersionsSavePosted(zip));
}

TEST_F(ZipRotationTest, MissingAndUndeletableFilesLeaveTheListAnyway) {
    Touch("kept.z01");
    QDir().mkpath(File("kept.zip")); // cannot be deleted as a file: its segments stay
    Touch("last.zip");
    TLumo_Zip& zip = MakeZip(TZipVersion::zvItems, 1,
                             {{now - 3, File("gone.zip")}, {now - 2, File("kept.zip")}, {now - 1, File("last.zip")}});
    zip.FVUpdate(&ctx->Saver());
    EXPECT_EQ(ListedNames(zip), QStringList({"last.zip"}));
    EXPECT_EQ(Names(), QStringList({"kept.z01", "kept.zip", "last.zip"}));
}

TEST_F(ZipRotationTest, AFileThatAKeptVersionNamesIsNotDeleted) {
    Touch("B.zip");
    Touch("B.z01");
    TLumo_Zip& zip = MakeZip(TZipVersion::zvItems, 1, {{now - 2, File("B.zip")}, {now - 1, File("B.zip")}});
    zip.FVUpdate(&ctx->Saver());
    EXPECT_EQ(zip.FileVersionList().size(), 1u);
    EXPECT_EQ(Names(), QStringList({"B.z01", "B.zip"}));
}

TEST_F(ZipRotationTest, WithoutVersionsNothingIsRotatedOrSaved) {
    Touch("B.zip");
    TLumo_Zip& zip = MakeZip(TZipVersion::zvNone, 1, {{now - 2, File("B.zip")}, {now - 1, File("C.zip")}});
    zip.FVUpdate(&ctx->Saver());
    EXPECT_EQ(zip.FileVersionList().size(), 2u);
    EXPECT_EQ(Names(), QStringList({"B.zip"}));
    EXPECT_FALSE(VersionsSavePosted(zip));
}

} // namespace
