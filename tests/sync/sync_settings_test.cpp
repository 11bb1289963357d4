#include "profiles/backup_profile.h"
#include "sync/sync_task.h"

#include "kind_test_support.h"

#include <QRegularExpression>

namespace {

using SyncSettingsTest = KindTest;

TSyncSettings Settings(const QString& title = QStringLiteral("Docs")) {
    TSyncSettings s;
    s.nTitle = title;
    return s;
}

TEST_F(SyncSettingsTest, CreateDrawsAUidAndMakesTheProfile) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    EXPECT_TRUE(QRegularExpression("^SNK\\d{18}$").match(sync.UID()).hasMatch()) << sync.UID().toStdString();
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    const TLumo_BackupProfile& profile = *ctx->Profiles().front();
    EXPECT_EQ(sync.Profile(), &profile);
    EXPECT_EQ(profile.Sync(), &sync);
    EXPECT_EQ(profile.Kind(), TBackupClass::bcSync);
    EXPECT_EQ(profile.UID(), sync.UID());

    EXPECT_EQ(sync.Title(), "-");
    EXPECT_FALSE(sync.AutoMode());
    EXPECT_TRUE(sync.DelToRecycle());
    EXPECT_TRUE(sync.CheckDateAndSize());
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(sync.SyncStatus(), TLumo_Operation::fsNone);
    EXPECT_EQ(sync.SyncStatusText(), "Status: wait");
}

TEST_F(SyncSettingsTest, CreateKeepsAGivenUid) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, "SNK202401010000001234");
    EXPECT_EQ(sync.UID(), "SNK202401010000001234");
    EXPECT_EQ(ctx->FindProfileByUID("SNK202401010000001234"), sync.Profile());
}

TEST_F(SyncSettingsTest, TwoProfilesCreatedAtOnceGetDifferentUids) {
    const QString a = TLumo_Sync::Create(*ctx, {}).UID();
    const QString b = TLumo_Sync::Create(*ctx, {}).UID();
    EXPECT_NE(a, b);
}

TEST_F(SyncSettingsTest, BigFileSizeOutsideItsRangeBecomesTheDefault) {
    const struct {
        int given, expected;
    } cases[] = {{9, 2000}, {10, 10}, {10240, 10240}, {10241, 2000}, {-1, 2000}, {0, 2000}, {500, 500}};
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    for (const auto& c : cases) {
        TSyncSettings s = Settings();
        s.nBigFileSize = c.given;
        sync.ApplyNewSettings(s, false);
        EXPECT_EQ(sync.BigFileSize(), c.expected) << "given " << c.given;
    }
}

TEST_F(SyncSettingsTest, TitleIsCutTo90CharactersAndNeverEmpty) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    sync.ApplyNewSettings(Settings(QString(120, u'x') + "tail"), false);
    EXPECT_EQ(sync.Title(), QString(90, u'x'));
    sync.ApplyNewSettings(Settings(QString(90, u'y')), false);
    EXPECT_EQ(sync.Title(), QString(90, u'y'));
    sync.ApplyNewSettings(Settings(QString()), false);
    EXPECT_EQ(sync.Title(), "-");
    EXPECT_EQ(sync.Profile()->Values().txtTitle, "-");
}

TEST_F(SyncSettingsTest, TitleCutNeverSplitsASurrogatePair) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    // 89 letters, then a character outside the basic plane at positions 90-91.
    sync.ApplyNewSettings(Settings(QString(89, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80") + "b"), false);
    EXPECT_EQ(sync.Title(), QString(89, u'a'));
}

TEST_F(SyncSettingsTest, ValueLinesPairUpTwoByTwo) {
    const struct {
        QStringList lines;
        QStringList expectedPairs; // source, storage, source, storage...
    } cases[] = {
        {{"/A/", "/B/", "/C/"}, {"/A/", "/B/"}},
        {{"/A/", "/B/", "/C/", "/D/"}, {"/A/", "/B/", "/C/", "/D/"}},
        {{}, {}},
        {{"/A/"}, {}},
        // A pair with a blank side stays as written (each run reports it); it never shifts the next pair.
        {{"", "/B/", "/C/", "/D/"}, {"", "/B/", "/C/", "/D/"}},
        {{"/A/", "", "/C/", "/D/"}, {"/A/", "", "/C/", "/D/"}},
        {{"", " ", "/C/", "/D/"}, {"/C/", "/D/"}},
        // A folder always ends with the separator, or it would name its parent's entry.
        {{"/A", "/B/x", "/C/", "/D"}, {"/A/", "/B/x/", "/C/", "/D/"}},
    };
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    for (const auto& c : cases) {
        TSyncSettings s = Settings();
        s.nValueList = c.lines;
        sync.ApplyNewSettings(s, false);
        QStringList pairs;
        for (const TSyncElement& e : sync.ElementList())
            pairs << e.SourceFolder() << e.StorageFolder();
        EXPECT_EQ(pairs, c.expectedPairs) << c.lines.join('|').toStdString();
    }
}

TEST_F(SyncSettingsTest, ExclusionLinesAreTrimmedWithoutBlanksOrRepeats) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    TSyncSettings s = Settings();
    s.nExcludeList = {"  *.tmp ", "", "   ", "*.TMP", "/Cache/", "*.bak", "/cache/"};
    sync.ApplyNewSettings(s, false);
    EXPECT_EQ(sync.ExcludeList(), QStringList({"*.tmp", "/Cache/", "*.bak"}));
}

TEST_F(SyncSettingsTest, ApplyPostsAFullSaveOnlyWhenAsked) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    sync.ApplyNewSettings(Settings(), false);
    EXPECT_TRUE(Requests().empty());
    sync.ApplyNewSettings(Settings(), true);
    const std::deque<TSaveTask> expected{{TSaveSetType::stFullProfile, sync.UID()}};
    EXPECT_EQ(Requests(), expected);
}

TEST_F(SyncSettingsTest, GetSettingsGivesBackWhatWasApplied) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    TSyncSettings s;
    s.nTitle = "Photos";
    s.nAutoMode = true;
    s.nBigFileSize = 700;
    s.nCheckSizeAndDate = false;
    s.nDeleteToRecycle = false;
    s.nDiskSourceID = "00A1:B2C3";
    s.nDiskStorageID = "1234:ABCD";
    s.nExcludeList = {"*.tmp", "/Cache/"};
    s.nSkipBigFiles = true;
    s.nSkipHidden = true;
    s.nValueList = {"/home/u/Photos/", "/media/usb/Photos/", "/home/u/Docs/", "/media/usb/Docs/"};
    sync.ApplyNewSettings(s, false);
    EXPECT_EQ(sync.GetSettings(), s);
}

TEST_F(SyncSettingsTest, OnlyTheLoaderTakesOverTheLastRunTime) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    TSyncSettings loaded = Settings();
    loaded.fSetLastActive = true;
    loaded.fLastActive = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
    sync.ApplyNewSettings(loaded, false);
    TSyncSettings edited = Settings();
    edited.fLastActive = EncodeDate(2020, 1, 1);
    sync.ApplyNewSettings(edited, false);
    EXPECT_EQ(sync.LastActive(), loaded.fLastActive);
}

TEST_F(SyncSettingsTest, AddNewExcludeKeepsTheListFreeOfRepeats) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    TSyncSettings s = Settings();
    s.nExcludeList = {"*.tmp"};
    sync.ApplyNewSettings(s, false);

    sync.AddNewExclude("   ");
    EXPECT_EQ(sync.ExcludeList(), QStringList({"*.tmp"}));
    EXPECT_TRUE(Requests().empty());

    sync.AddNewExclude("*.TMP");
    EXPECT_EQ(sync.ExcludeList(), QStringList({"*.tmp"}));
    const std::deque<TSaveTask> posted{{TSaveSetType::stExclude, sync.UID()}};
    EXPECT_EQ(Requests(), posted);

    sync.AddNewExclude("/Cache/");
    EXPECT_EQ(sync.ExcludeList(), QStringList({"*.tmp", "/Cache/"}));
}

TEST_F(SyncSettingsTest, LastRunAndErrorTextsFollowTheState) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    sync.ApplyNewSettings(Settings(), false);
    sync.UpdateLastActive();
    EXPECT_EQ(sync.LastActiveString(), "");
    EXPECT_EQ(sync.LastErrorText(), "");

    TSyncSettings loaded = Settings();
    loaded.fSetLastActive = true;
    loaded.fLastActive = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
    sync.ApplyNewSettings(loaded, false);
    sync.UpdateLastActive();
    EXPECT_TRUE(sync.LastActiveString().startsWith("Last sync: ")) << sync.LastActiveString().toStdString();
    EXPECT_TRUE(sync.LastActiveString().contains("14:30"));
    // Idle after a normal run: the third line is the last-run text.
    EXPECT_EQ(sync.Profile()->Values().txtLastSync, sync.LastActiveString());
}

TEST_F(SyncSettingsTest, StatusChangeRefreshesTheRow) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    sync.SetSyncStatus(TLumo_Operation::fsQueue);
    EXPECT_EQ(sync.SyncStatusText(), "Status: in queue");
    EXPECT_EQ(sync.Profile()->Values().txtStatus, "Status: in queue");
}

} // namespace
