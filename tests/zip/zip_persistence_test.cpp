#include "app/save_steps.h"
#include "app/settings_loader.h"
#include "profiles/backup_profile.h"
#include "util/scramble.h"
#include "zip/zip_password.h"
#include "zip/zip_persistence.h"
#include "zip/zip_task.h"

#include "../sync/kind_test_support.h"

namespace {

using ZipPersistenceTest = KindTest;

const QString kUid = QStringLiteral("ZIP202403051430001111");

TEST_F(ZipPersistenceTest, ProfileWithoutSettingsSectionGetsTheReadDefaults) {
    LoadZip(*ctx, IniOf({"[ZipList]", "ZIP202403051430001111="}));
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    const TLumo_Zip& zip = *ctx->Profiles().front()->Zip();
    EXPECT_EQ(zip.UID(), kUid);
    EXPECT_EQ(zip.Title(), "-");
    EXPECT_EQ(zip.Compression(), 7);
    EXPECT_FALSE(zip.SpanningEnabled());
    EXPECT_EQ(zip.SpanningSizeValue(), 1900);
    EXPECT_EQ(zip.FVType(), TZipVersion::zvNone);
    EXPECT_EQ(zip.FVValue(), 30);
    EXPECT_EQ(zip.FVLastIndex(), 0);
    EXPECT_EQ(zip.LastActive(), 0);
    EXPECT_EQ(zip.Password(), "");
    EXPECT_TRUE(zip.ZipElements().empty());
    EXPECT_TRUE(zip.FileVersionList().empty());
    EXPECT_TRUE(Requests().empty());
}

TEST_F(ZipPersistenceTest, OddValuesAreCorrectedOnTheWayIn) {
    LoadZip(*ctx, IniOf({"[ZipList]", "ZIP202403051430001111=A", "[ZIP202403051430001111_st]", "Compression=12",
                         "FVValue=0", "SpanningSizeValue=5", "SpanningEnabled=yes", "FVType=2",
                         "FVLastIndex=-2", "LastActive=2024030514300", "Password=ABC123"}));
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    const TLumo_Zip& zip = *ctx->Profiles().front()->Zip();
    EXPECT_EQ(zip.Compression(), 7);
    EXPECT_EQ(zip.FVValue(), 30);
    EXPECT_EQ(zip.SpanningSizeValue(), 1900);
    EXPECT_FALSE(zip.SpanningEnabled());
    EXPECT_EQ(zip.FVType(), TZipVersion::zvDates);
    EXPECT_EQ(zip.FVLastIndex(), 0);
    EXPECT_EQ(zip.LastActive(), 0);
    EXPECT_EQ(zip.Password(), "ABC123"); // taken in stored form
}

TEST_F(ZipPersistenceTest, AVersionIndexAtTheTopOfItsRangeIsNotKept) {
    // An index that cannot be raised once more would turn negative.
    for (const char* stored : {"FVLastIndex=2147483647", "FVLastIndex=1000000000"}) {
        ctx = NewContext();
        LoadZip(*ctx, IniOf({"[ZipList]", "ZIP202403051430001111=A", "[ZIP202403051430001111_st]", "FVType=1",
                                stored}));
        ASSERT_EQ(ctx->Profiles().size(), 1u);
        EXPECT_EQ(ctx->Profiles().front()->Zip()->FVLastIndex(), 0) << stored;
    }
}

TEST_F(ZipPersistenceTest, VersionModeFromTheStoredNumber) {
    const struct {
        const char* value;
        bool useVersions, itemsVersions;
    } cases[] = {{"0", false, true}, {"1", true, true}, {"2", true, false}, {"3", false, true}, {"x", false, true},
                 {"$1", true, true}};
    for (const auto& c : cases) {
        const QByteArray line = QByteArray("FVType=") + c.value;
        const TZip_Settings s = ReadZipSettings(IniOf({"[Z_st]", line.constData()}), "Z");
        EXPECT_EQ(s.nUseVersions, c.useVersions) << c.value;
        if (c.useVersions) {
            EXPECT_EQ(s.nItemsVersions, c.itemsVersions) << c.value;
        }
    }
}

TEST_F(ZipPersistenceTest, ItemsExclusionsAndVersionsAreRead) {
    const TZip_Settings s = ReadZipSettings(
        IniOf({"[ZipList]", "Z=Title", "[Z]", "f_1=/home/u/Docs/", "i_1=1", "f_2=/home/u/a.txt", "f_4=/lost/",
               "i_4=1", "[Z_Ex]", "v0=*.tmp", "anything= *.TMP ", "v2=", "v3=*.bak", "[Z_Fv]",
               "Name_0=/b/Backup.zip", "DateTime_0=20240301120000", "Name_1=/b/Backup[1].zip",
               "DateTime_1=20240302120000", "Name_3=/b/Backup[3].zip", "DateTime_3=20240304120000"}),
        "Z");
    EXPECT_EQ(s.nTitle, "Title");
    EXPECT_EQ(s.nValueList, QStringList({"1", "/home/u/Docs/", "0", "/home/u/a.txt"}));
    EXPECT_EQ(s.nExcludeList, QStringList({"*.tmp", "*.bak"}));
    const TFileVersionList expected{{EncodeDate(2024, 3, 1) + EncodeTime(12, 0, 0, 0), "/b/Backup.zip"},
                                    {EncodeDate(2024, 3, 2) + EncodeTime(12, 0, 0, 0), "/b/Backup[1].zip"}};
    EXPECT_EQ(s.nFileVersionList, expected);
    EXPECT_TRUE(s.nSetFileVerList);
    EXPECT_TRUE(s.nSetFVLastIndex);
    EXPECT_TRUE(s.nSetLastActive);
    EXPECT_FALSE(s.nPasswordModified);
}

TEST_F(ZipPersistenceTest, ABadVersionStampStopsTheFamilyKeepingEarlierProfiles) {
    LoadZip(*ctx, IniOf({"[ZipList]", "ZIP202403051430001111=First", "ZIP202403051430002222=Broken",
                         "ZIP202403051430003333=Third", "[ZIP202403051430002222_Fv]", "Name_0=/b/x.zip",
                         "DateTime_0=20240230120000"}));
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    EXPECT_EQ(ctx->Profiles().front()->UID(), kUid);
}

TEST_F(ZipPersistenceTest, WriterWritesTheKeysInTheirOrder) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, kUid);
    TZip_Settings s;
    s.nTitle = "Docs";
    s.nSetLastActive = true;
    s.nLastActive = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
    s.nFilename = "Docs_%Y.zip";
    s.nFolder = "/media/usb/";
    s.nCompression = 5;
    s.nPassword = "STORED";
    s.nSpanEn = true;
    s.nSpanValue = 650;
    s.nDiskSourceID = "00A1:B2C3";
    s.nUseVersions = true;
    s.nItemsVersions = true;
    s.nVersionsValue = 3;
    s.nSetFVLastIndex = true;
    s.nFVLastIndex = 2;
    s.nValueList = {"1", "/home/u/Docs/", "0", "/home/u/a.txt"};
    s.nSetFileVerList = true;
    s.nFileVersionList = {{EncodeDate(2024, 3, 1) + EncodeTime(8, 0, 0, 0), "/media/usb/Docs_2024.zip"},
                          {EncodeDate(2024, 3, 2) + EncodeTime(8, 0, 5, 0), "/media/usb/Docs_2024[1].zip"}};
    zip.ApplyNewSettings(s, false);

    IniDocument profile;
    WriteZipProfile(profile, zip);
    EXPECT_EQ(profile.ToBytes(),
              IniBytes({"[ZipList]", "ZIP202403051430001111=Docs", "[ZIP202403051430001111_st]",
                        "LastActive=20240305143000", "Filename=Docs_%Y.zip", "Folder=/media/usb/", "Compression=5",
                        "Password=STORED", "SpanningEnabled=1", "SpanningSizeValue=650", "DiskSourceID=00A1:B2C3",
                        "DiskStorageID=", "FVType=1", "FVValue=3", "FVLastIndex=2", "[ZIP202403051430001111]",
                        "f_1=/home/u/Docs/", "i_1=1", "f_2=/home/u/a.txt", "i_2=0"}));

    IniDocument versions = IniOf({"[ZIP202403051430001111_Fv]", "Name_0=/old.zip", "DateTime_0=20200101000000",
                                  "Name_5=/older.zip"});
    WriteZipVersions(versions, zip);
    EXPECT_EQ(versions.ToBytes(),
              IniBytes({"[ZIP202403051430001111_Fv]", "Name_0=/media/usb/Docs_2024.zip",
                        "DateTime_0=20240301080000", "Name_1=/media/usb/Docs_2024[1].zip",
                        "DateTime_1=20240302080005"}));
}

TEST_F(ZipPersistenceTest, WrittenProfileReadsBackWithTheSameSettings) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, kUid);
    TZip_Settings s;
    s.nTitle = "Фото";
    s.nSetLastActive = true;
    s.nLastActive = EncodeDate(2023, 12, 31) + EncodeTime(23, 59, 59, 0);
    s.nFilename = "%Y/Photos.zip";
    s.nFolder = "/media/usb/Backups/";
    s.nCompression = 0;
    s.nPassword = "pässword";
    s.nPasswordModified = true;
    s.nSpanEn = true;
    s.nSpanValue = 9999;
    s.nDiskSourceID = "00A1:B2C3";
    s.nDiskStorageID = "FFFF:0001";
    s.nUseVersions = true;
    s.nItemsVersions = false;
    s.nVersionsValue = 99;
    s.nSetFVLastIndex = true;
    s.nFVLastIndex = 12;
    s.nExcludeList = {"*.tmp", "*.bak"};
    s.nValueList = {"1", "/home/u/Фото/", "0", "/home/u/list.txt"};
    s.nSetFileVerList = true;
    s.nFileVersionList = {{EncodeDate(2023, 12, 30) + EncodeTime(1, 2, 3, 0), "/media/usb/Backups/2023/Photos.zip"}};
    zip.ApplyNewSettings(s, false);

    IniDocument out;
    ApplySaveRequest(out, TSaveTask{TSaveSetType::stFullProfile, kUid}, *ctx);
    auto second = NewContext();
    LoadZip(*second, IniDocument::FromBytes(out.ToBytes()));
    ASSERT_EQ(second->Profiles().size(), 1u);
    const TLumo_Zip& loaded = *second->Profiles().front()->Zip();
    EXPECT_EQ(loaded.GetSettings(), zip.GetSettings());
    EXPECT_EQ(loaded.Password(), zip.Password());
    EXPECT_EQ(loaded.FileVersionList(), zip.FileVersionList());
    EXPECT_EQ(loaded.FVLastIndex(), 12);
    EXPECT_EQ(loaded.LastActive(), s.nLastActive);
}

TEST_F(ZipPersistenceTest, PasswordsWhoseStoredFormHasLineBreaksSurviveASaveAndLoad) {
    // The scrambled form of each of these holds CR or LF; written raw it would
    // split its line and come back empty, and archives would lose their password.
    for (const QString& typed : {QString("8abc"), QString("?xyz"), QString("ab>cdefg"), QString("abc@efgh")}) {
        SCOPED_TRACE(typed.toStdString());
        ctx = NewContext();
        TLumo_Zip& zip = TLumo_Zip::Create(*ctx, kUid);
        TZip_Settings s;
        s.nPassword = typed;
        s.nPasswordModified = true;
        zip.ApplyNewSettings(s, false);
        ASSERT_TRUE(zip.Password().contains('\n') || zip.Password().contains('\r'));

        IniDocument out;
        ApplySaveRequest(out, TSaveTask{TSaveSetType::stFullProfile, kUid}, *ctx);
        auto second = NewContext();
        LoadZip(*second, IniDocument::FromBytes(out.ToBytes()));
        ASSERT_EQ(second->Profiles().size(), 1u);
        EXPECT_EQ(second->Profiles().front()->Zip()->Password(), zip.Password());
        EXPECT_EQ(ScrambleText(second->Profiles().front()->Zip()->Password()), typed);
    }
}

TEST_F(ZipPersistenceTest, AnOrdinaryPasswordIsStoredAsItWasBefore) {
    IniDocument ini;
    WriteStoredPassword(ini, "Z_st", "PLAIN");
    EXPECT_EQ(ini.Keys("Z_st"), QStringList({"Password"}));
    EXPECT_EQ(ReadStoredPassword(ini, "Z_st"), "PLAIN");
    // A stored line-break password replaced by an ordinary one leaves no hex key behind.
    WriteStoredPassword(ini, "Z_st", "a\nb");
    EXPECT_EQ(ini.Value("Z_st", "Password"), "");
    WriteStoredPassword(ini, "Z_st", "PLAIN");
    EXPECT_EQ(ini.Keys("Z_st"), QStringList({"Password"}));
}

} // namespace
