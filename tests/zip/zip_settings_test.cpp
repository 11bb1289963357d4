#include "profiles/backup_profile.h"
#include "util/scramble.h"
#include "zip/zip_task.h"

#include "../sync/kind_test_support.h"

#include <QRegularExpression>

namespace {

using ZipSettingsTest = KindTest;

TZip_Settings Settings(const QString& title = QStringLiteral("Archive")) {
    TZip_Settings s;
    s.nTitle = title;
    return s;
}

TEST_F(ZipSettingsTest, CreateDrawsAZipUidAndMakesTheProfile) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    EXPECT_TRUE(QRegularExpression("^ZIP\\d{18}$").match(zip.UID()).hasMatch()) << zip.UID().toStdString();
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    EXPECT_EQ(ctx->Profiles().front()->Kind(), TBackupClass::bcZip);
    EXPECT_EQ(ctx->Profiles().front()->Zip(), &zip);
    EXPECT_EQ(zip.Profile(), ctx->Profiles().front().get());
    EXPECT_EQ(zip.Title(), "-");
    EXPECT_EQ(zip.FVType(), TZipVersion::zvNone);
    EXPECT_EQ(zip.FVLastIndex(), 0);
}

TEST_F(ZipSettingsTest, OutOfRangeNumbersBecomeTheirDefaults) {
    const struct {
        int compression, expectedCompression;
        int versions, expectedVersions;
        int span, expectedSpan;
    } cases[] = {
        {12, 7, 0, 30, 5, 1900},
        {-1, 7, 100, 30, 10000, 1900},
        {0, 0, 1, 1, 10, 10},
        {9, 9, 99, 99, 9999, 9999},
        {10, 7, -3, 30, 9, 1900},
    };
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    for (const auto& c : cases) {
        TZip_Settings s = Settings();
        s.nCompression = c.compression;
        s.nVersionsValue = c.versions;
        s.nSpanValue = c.span;
        zip.ApplyNewSettings(s, false);
        EXPECT_EQ(zip.Compression(), c.expectedCompression) << c.compression;
        EXPECT_EQ(zip.FVValue(), c.expectedVersions) << c.versions;
        EXPECT_EQ(zip.SpanningSizeValue(), c.expectedSpan) << c.span;
    }
}

TEST_F(ZipSettingsTest, TitleIsCutTo90CharactersAndNeverEmpty) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    zip.ApplyNewSettings(Settings(QString(100, u'z')), false);
    EXPECT_EQ(zip.Title(), QString(90, u'z'));
    zip.ApplyNewSettings(Settings(QString()), false);
    EXPECT_EQ(zip.Title(), "-");
    EXPECT_EQ(zip.Profile()->Values().txtTitle, "-");
}

TEST_F(ZipSettingsTest, VersionModeFollowsTheTwoFlags) {
    const struct {
        bool useVersions, itemsVersions;
        TZipVersion expected;
    } cases[] = {{false, true, TZipVersion::zvNone},
                 {false, false, TZipVersion::zvNone},
                 {true, true, TZipVersion::zvItems},
                 {true, false, TZipVersion::zvDates}};
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    for (const auto& c : cases) {
        TZip_Settings s = Settings();
        s.nUseVersions = c.useVersions;
        s.nItemsVersions = c.itemsVersions;
        zip.ApplyNewSettings(s, false);
        EXPECT_EQ(zip.FVType(), c.expected);
    }
}

TEST_F(ZipSettingsTest, ItemsAreReadInPairsOfFlagAndPath) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    TZip_Settings s = Settings();
    s.nValueList = {"1", "/home/u/Docs/", "0", "/home/u/notes.txt", "true", "/home/u/x/", "1"};
    zip.ApplyNewSettings(s, false);
    const std::vector<TZipElement> expected{
        {true, "/home/u/Docs/"}, {false, "/home/u/notes.txt"}, {false, "/home/u/x/"}};
    EXPECT_EQ(zip.ZipElements(), expected);
}

TEST_F(ZipSettingsTest, PasswordIsStoredScrambledAndKeptWhenUntouched) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    TZip_Settings typed = Settings();
    typed.nPassword = "secret";
    typed.nPasswordModified = true;
    zip.ApplyNewSettings(typed, false);
    const QString stored = zip.Password();
    EXPECT_NE(stored, "secret");
    EXPECT_EQ(ScrambleText(stored), "secret");

    zip.ApplyNewSettings(Settings(), false); // field not touched: empty, not modified
    EXPECT_EQ(zip.Password(), stored);

    TZip_Settings fromFile = Settings();
    fromFile.nPassword = "ALREADYSTORED";
    zip.ApplyNewSettings(fromFile, false);
    EXPECT_EQ(zip.Password(), "ALREADYSTORED");

    TZip_Settings cleared = Settings();
    cleared.nPasswordModified = true;
    zip.ApplyNewSettings(cleared, false);
    EXPECT_EQ(zip.Password(), "");
}

TEST_F(ZipSettingsTest, EditingKeepsVersionsIndexAndLastRun) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    TZip_Settings loaded = Settings();
    loaded.nSetFileVerList = true;
    loaded.nFileVersionList = {{EncodeDate(2024, 3, 1), "/b/Backup.zip"}, {EncodeDate(2024, 3, 2), "/b/Backup[1].zip"}};
    loaded.nSetFVLastIndex = true;
    loaded.nFVLastIndex = 1;
    loaded.nSetLastActive = true;
    loaded.nLastActive = EncodeDate(2024, 3, 2);
    zip.ApplyNewSettings(loaded, false);

    TZip_Settings edited = zip.GetSettings();
    edited.nTitle = "Renamed";
    edited.nFileVersionList = {{EncodeDate(2020, 1, 1), "/b/other.zip"}};
    edited.nFVLastIndex = 7;
    edited.nLastActive = EncodeDate(2020, 1, 1);
    zip.ApplyNewSettings(edited, true);

    EXPECT_EQ(zip.Title(), "Renamed");
    EXPECT_EQ(zip.FileVersionList(), loaded.nFileVersionList);
    EXPECT_EQ(zip.FVLastIndex(), 1);
    EXPECT_EQ(zip.LastActive(), loaded.nLastActive);
    const std::deque<TSaveTask> expected{{TSaveSetType::stFullProfile, zip.UID()}};
    EXPECT_EQ(Requests(), expected);
}

TEST_F(ZipSettingsTest, NegativeVersionIndexBecomesZero) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    TZip_Settings s = Settings();
    s.nSetFVLastIndex = true;
    s.nFVLastIndex = -4;
    zip.ApplyNewSettings(s, false);
    EXPECT_EQ(zip.FVLastIndex(), 0);
}

TEST_F(ZipSettingsTest, GetSettingsGivesBackTheEditableSettings) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    TZip_Settings s;
    s.nTitle = "Mail";
    s.nCompression = 3;
    s.nDiskSourceID = "00A1:B2C3";
    s.nDiskStorageID = "1234:5678";
    s.nExcludeList = {"*.tmp", "*.bak"};
    s.nFilename = "Mail_%Y-%M-%D.zip";
    s.nFolder = "/media/usb/";
    s.nItemsVersions = false;
    s.nPassword = "STORED";
    s.nSpanEn = true;
    s.nSpanValue = 650;
    s.nUseVersions = true;
    s.nValueList = {"1", "/home/u/Mail/", "0", "/home/u/a.txt"};
    s.nVersionsValue = 14;
    zip.ApplyNewSettings(s, false);
    EXPECT_EQ(zip.GetSettings(), s);
}

TEST_F(ZipSettingsTest, ItemsOnOneVolumeCanUseTheSourceId) {
    const struct {
        QStringList values;
        bool expected;
    } cases[] = {
        {{"1", "/home/a/", "0", "/home/b/x.txt"}, true},
        {{"1", "/proc/a/", "1", "/sys/b/"}, false},
        {{}, true},
    };
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    for (const auto& c : cases) {
        TZip_Settings s = Settings();
        s.nValueList = c.values;
        zip.ApplyNewSettings(s, false);
        EXPECT_EQ(zip.CanUseDriveSourceID(), c.expected) << c.values.join('|').toStdString();
    }
}

TEST_F(ZipSettingsTest, TextsShowTheLastRunAndTheStatus) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    zip.ApplyNewSettings(Settings(), false);
    zip.UpdateLastActive();
    EXPECT_EQ(zip.ResultText(), "");
    EXPECT_EQ(zip.StatusText(), "Status: wait");

    TZip_Settings loaded = Settings();
    loaded.nSetLastActive = true;
    loaded.nLastActive = EncodeDate(2024, 3, 5) + EncodeTime(9, 15, 0, 0);
    zip.ApplyNewSettings(loaded, false);
    zip.UpdateLastActive();
    EXPECT_TRUE(zip.ResultText().startsWith("Last zip: ")) << zip.ResultText().toStdString();
    EXPECT_TRUE(zip.ResultText().contains("09:15"));
    EXPECT_EQ(zip.Profile()->Values().txtLastSync, zip.ResultText());

    zip.SetOperationState(TLumo_Operation::fsZip);
    EXPECT_EQ(zip.Profile()->Values().txtStatus, "Status: archiving");
}

} // namespace
