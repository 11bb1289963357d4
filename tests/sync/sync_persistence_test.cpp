#include "app/save_steps.h"
#include "app/settings_loader.h"
#include "profiles/backup_profile.h"
#include "sync/sync_persistence.h"
#include "sync/sync_task.h"
#include "zip/zip_persistence.h"

#include "kind_test_support.h"

namespace {

using SyncPersistenceTest = KindTest;

const QString kUid = QStringLiteral("SNK202403051430001111");

QStringList PairsOf(const TLumo_Sync& sync) {
    QStringList pairs;
    for (const TSyncElement& e : sync.ElementList())
        pairs << e.SourceFolder() << e.StorageFolder();
    return pairs;
}

TEST_F(SyncPersistenceTest, ProfileWithoutSettingsSectionGetsTheReadDefaults) {
    LoadSync(*ctx, IniOf({"[SyncList]", "SNK202403051430001111=Docs"}));
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    const TLumo_Sync& sync = *ctx->Profiles().front()->Sync();
    EXPECT_EQ(sync.UID(), kUid);
    EXPECT_EQ(sync.Title(), "Docs");
    EXPECT_TRUE(sync.AutoMode());
    EXPECT_TRUE(sync.DelToRecycle());
    EXPECT_TRUE(sync.SkipHiddenSystem());
    EXPECT_TRUE(sync.CheckDateAndSize());
    EXPECT_FALSE(sync.SkipBigFiles());
    EXPECT_EQ(sync.BigFileSize(), 2000);
    EXPECT_EQ(sync.LastActive(), 0);
    EXPECT_EQ(sync.LastActiveString(), "");
    EXPECT_TRUE(sync.ElementList().empty());
    EXPECT_TRUE(sync.ExcludeList().isEmpty());
    EXPECT_TRUE(Requests().empty());
}

TEST_F(SyncPersistenceTest, OddValuesReadAsTheirDefaultsOrAsIntegers) {
    const TSyncSettings s = ReadSyncSettings(IniOf({"[SNK1_st]", "CheckType=yes", "DelToRecycle=$0", "AutoMode=0x0",
                                                     "SkipHiddenSystem=", "SkipBigFiles=$1F", "BigFileSize=12abc",
                                                     "LastActive=2024030514300", "DiskSourceID=00A1:B2C3"}),
                                               "SNK1");
    EXPECT_EQ(s.nTitle, "-");
    EXPECT_TRUE(s.nCheckSizeAndDate);
    EXPECT_FALSE(s.nDeleteToRecycle);
    EXPECT_FALSE(s.nAutoMode);
    EXPECT_TRUE(s.nSkipHidden);
    EXPECT_TRUE(s.nSkipBigFiles);
    EXPECT_EQ(s.nBigFileSize, 2000);
    EXPECT_TRUE(s.fSetLastActive);
    EXPECT_EQ(s.fLastActive, 0); // 13 digits: never
    EXPECT_EQ(s.nDiskSourceID, "00A1:B2C3");
    EXPECT_EQ(s.nDiskStorageID, "");
}

TEST_F(SyncPersistenceTest, PairsEndAtTheFirstMissingNumber) {
    LoadSync(*ctx, IniOf({"[SyncList]", "SNK202403051430001111=Docs", "[SNK202403051430001111]", "f1_1=/a/",
                          "f2_1=/b/", "f1_2=/c/", "f2_2=/d/", "f1_4=/e/", "f2_4=/f/"}));
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    EXPECT_EQ(PairsOf(*ctx->Profiles().front()->Sync()), QStringList({"/a/", "/b/", "/c/", "/d/"}));
}

TEST_F(SyncPersistenceTest, PairsWithABlankSideOrWithoutTheSeparatorAreKeptAndWrittenBackWhole) {
    LoadSync(*ctx, IniOf({"[SyncList]", "SNK202403051430001111=Docs", "[SNK202403051430001111]", "f1_1=/a",
                          "f2_1=", "f1_2=/c/", "f2_2=/d"}));
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    const TLumo_Sync& sync = *ctx->Profiles().front()->Sync();
    EXPECT_EQ(PairsOf(sync), QStringList({"/a/", "", "/c/", "/d/"}));
    IniDocument out;
    WriteSyncProfile(out, sync);
    EXPECT_EQ(ReadSyncSettings(out, kUid).nValueList, QStringList({"/a/", "", "/c/", "/d/"}));
}

TEST_F(SyncPersistenceTest, ExclusionsIgnoreKeyNamesBlanksAndRepeatsAndAreRenumberedOnWrite) {
    const IniDocument in = IniOf({"[SyncList]", "SNK202403051430001111=Docs", "[SNK202403051430001111_Ex]",
                                  "v0=*.tmp", "v1=*.TMP", "v2=  ", "x= /Cache/ "});
    LoadSync(*ctx, in);
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    EXPECT_EQ(ctx->Profiles().front()->Sync()->ExcludeList(), QStringList({"*.tmp", "/Cache/"}));

    IniDocument out;
    ApplySaveRequest(out, TSaveTask{TSaveSetType::stExclude, kUid}, *ctx);
    EXPECT_EQ(out.ToBytes(), IniBytes({"[SNK202403051430001111_Ex]", "v0=*.tmp", "v1=/Cache/"}));
}

TEST_F(SyncPersistenceTest, ABadStampStopsTheSyncFamilyButNotTheOthers) {
    LoadSync(*ctx, IniOf({"[SyncList]", "SNK202403051430001111=First", "SNK202403051430002222=Broken",
                          "SNK202403051430003333=Third", "[SNK202403051430002222_st]", "LastActive=20241340000000",
                          "[SNK202403051430003333_st]", "LastActive=20240101000000"}));
    LoadZip(*ctx, IniOf({"[ZipList]", "ZIP202403051430004444=Archive"}));
    ASSERT_EQ(ctx->Profiles().size(), 2u);
    EXPECT_EQ(ctx->Profiles()[0]->UID(), kUid);
    EXPECT_EQ(ctx->Profiles()[0]->Title(), "First");
    EXPECT_EQ(ctx->Profiles()[1]->UID(), "ZIP202403051430004444");
}

TEST_F(SyncPersistenceTest, KeysThatCannotBeProfilesAreSkipped) {
    LoadSync(*ctx, IniOf({"[SyncList]", "Main=evil", "SNK202403051430001111=Docs", "[Main]", "Language=Eng"}));
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    EXPECT_EQ(ctx->Profiles().front()->UID(), kUid);
    // The same UID in a later family is not a second profile.
    LoadZip(*ctx, IniOf({"[ZipList]", "SNK202403051430001111=Clash"}));
    EXPECT_EQ(ctx->Profiles().size(), 1u);
}

TEST_F(SyncPersistenceTest, WriterWritesTheKeysInTheirOrder) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, kUid);
    TSyncSettings s;
    s.nTitle = "Docs";
    s.fSetLastActive = true;
    s.fLastActive = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
    s.nCheckSizeAndDate = true;
    s.nDeleteToRecycle = false;
    s.nAutoMode = true;
    s.nSkipHidden = false;
    s.nSkipBigFiles = true;
    s.nBigFileSize = 500;
    s.nDiskSourceID = "00A1:B2C3";
    s.nValueList = {"/home/u/Docs/", "/media/usb/Docs/", "/home/u/Mail/", "/media/usb/Mail/"};
    sync.ApplyNewSettings(s, false);

    IniDocument out;
    WriteSyncProfile(out, sync);
    EXPECT_EQ(out.ToBytes(),
              IniBytes({"[SyncList]", "SNK202403051430001111=Docs", "[SNK202403051430001111_st]",
                        "LastActive=20240305143000", "CheckType=1", "DelToRecycle=0", "AutoMode=1",
                        "SkipHiddenSystem=0", "SkipBigFiles=1", "BigFileSize=500", "DiskSourceID=00A1:B2C3",
                        "DiskStorageID=", "[SNK202403051430001111]", "f1_1=/home/u/Docs/", "f2_1=/media/usb/Docs/",
                        "f1_2=/home/u/Mail/", "f2_2=/media/usb/Mail/"}));
}

TEST_F(SyncPersistenceTest, WriterKeepsOtherKeysInPlaceAndDropsOldPairs) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, kUid);
    TSyncSettings s;
    s.nTitle = "Renamed";
    s.nValueList = {"/x/", "/y/"};
    sync.ApplyNewSettings(s, false);

    IniDocument out = IniOf({"[SyncList]", "SNK202403051430001111=Old", "[SNK202403051430001111_st]",
                             "ProfileScript_Before=78DA", "BigFileSize=10", "[SNK202403051430001111]", "f1_1=/a/",
                             "f2_1=/b/", "f1_2=/c/", "f2_2=/d/"});
    WriteSyncProfile(out, sync);
    EXPECT_EQ(out.ToBytes(),
              IniBytes({"[SyncList]", "SNK202403051430001111=Renamed", "[SNK202403051430001111_st]",
                        "ProfileScript_Before=78DA", "BigFileSize=2000", "LastActive=18991230000000", "CheckType=1",
                        "DelToRecycle=1", "AutoMode=0", "SkipHiddenSystem=0", "SkipBigFiles=0", "DiskSourceID=",
                        "DiskStorageID=", "[SNK202403051430001111]", "f1_1=/x/", "f2_1=/y/"}));
}

TEST_F(SyncPersistenceTest, WrittenProfileReadsBackWithTheSameSettings) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, kUid);
    TSyncSettings s;
    s.nTitle = "Photos = 2024";
    s.fSetLastActive = true;
    s.fLastActive = EncodeDate(2023, 12, 31) + EncodeTime(23, 59, 59, 0);
    s.nAutoMode = false;
    s.nBigFileSize = 10240;
    s.nCheckSizeAndDate = false;
    s.nDeleteToRecycle = false;
    s.nDiskSourceID = "00A1:B2C3";
    s.nDiskStorageID = "FFFF:0001";
    s.nExcludeList = {"*.tmp", "/System Volume Information/"};
    s.nSkipBigFiles = true;
    s.nSkipHidden = false;
    s.nValueList = {"/home/u/Фото/", "/media/usb/Фото/"};
    sync.ApplyNewSettings(s, false);

    IniDocument out;
    ApplySaveRequest(out, TSaveTask{TSaveSetType::stFullProfile, kUid}, *ctx);
    const IniDocument reread = IniDocument::FromBytes(out.ToBytes());

    auto second = NewContext();
    LoadSync(*second, reread);
    ASSERT_EQ(second->Profiles().size(), 1u);
    const TLumo_Sync& loaded = *second->Profiles().front()->Sync();
    EXPECT_EQ(loaded.UID(), kUid);
    EXPECT_EQ(loaded.GetSettings(), sync.GetSettings());
    EXPECT_EQ(loaded.LastActive(), s.fLastActive);
}

} // namespace
