#include "app/save_steps.h"
#include "app/settings_loader.h"
#include "folderzip/folderzip_persistence.h"
#include "folderzip/folderzip_task.h"
#include "profiles/backup_profile.h"

#include "../sync/kind_test_support.h"

namespace {

using FolderZipPersistenceTest = KindTest;

const QString kUid = QStringLiteral("FZP202403051430001111");

TEST_F(FolderZipPersistenceTest, ProfileWithoutSettingsSectionGetsTheReadDefaults) {
    LoadFolderZip(*ctx, IniOf({"[ZipFolderList]", "FZP202403051430001111=Projects"}));
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    const TLumo_FolderZip& fz = *ctx->Profiles().front()->FolderZip();
    EXPECT_EQ(fz.UID(), kUid);
    EXPECT_EQ(fz.Title(), "Projects");
    EXPECT_EQ(fz.SourceFolder(), "");
    EXPECT_EQ(fz.StorageFolder(), "");
    EXPECT_EQ(fz.Compression(), 7);
    EXPECT_FALSE(fz.CleanFolder());
    EXPECT_TRUE(fz.CleanFolderToTrash());
    EXPECT_FALSE(fz.SpanningEnabled());
    EXPECT_EQ(fz.SpanningSizeValue(), 1900);
    EXPECT_EQ(fz.LastActive(), 0);
    EXPECT_TRUE(fz.Elements().empty());
    EXPECT_TRUE(Requests().empty());
}

TEST_F(FolderZipPersistenceTest, OddValuesAreCorrectedOnTheWayIn) {
    const TFolderZip_Settings s = ReadFolderZipSettings(
        IniOf({"[F_st]", "Compression=12", "CleanFolder=yes", "CleanFolderToTrash=$0", "SpanningEnabled=0x1",
               "SpanningSizeValue=abc", "LastActive=2024030514300", "FolderZip=/home/u/P/", "SaveTo=/media/usb/P/"}),
        "F");
    EXPECT_EQ(s.nTitle, "-");
    EXPECT_EQ(s.nCompression, 12); // corrected by ApplyNewSettings
    EXPECT_FALSE(s.nCleanFolder);
    EXPECT_FALSE(s.nDeleteToRecycle);
    EXPECT_TRUE(s.nSpanningEnabled);
    EXPECT_EQ(s.nSpanningSizeValue, 1900);
    EXPECT_EQ(s.fLastActive, 0);
    EXPECT_TRUE(s.fSetLastActive);
    EXPECT_TRUE(s.fReplaceElList);
    EXPECT_EQ(s.nSourceFolder, "/home/u/P/");
    EXPECT_EQ(s.nSaveToFolder, "/media/usb/P/");
}

TEST_F(FolderZipPersistenceTest, ElementsAndBothExclusionListsAreRead) {
    const TFolderZip_Settings s = ReadFolderZipSettings(
        IniOf({"[F]", "n_1=Alpha", "d_1=20240301120000", "s_1=3", "n_2=Beta", "n_4=Lost", "[F_Ex]", "v0=*.o",
               "k= *.O ", "v1=", "[F_FolderEx]", "a= tmp ", "b=TMP", "c=Archive"}),
        "F");
    ASSERT_EQ(s.fElementsList.size(), 2u);
    EXPECT_EQ(s.fElementsList[0].pFolder, "Alpha");
    EXPECT_EQ(s.fElementsList[0].pDateModified, EncodeDate(2024, 3, 1) + EncodeTime(12, 0, 0, 0));
    EXPECT_EQ(s.fElementsList[0].pSpanCount, 3); // read although splitting is off
    EXPECT_EQ(s.fElementsList[0].pNewDateModified, 0);
    EXPECT_EQ(s.fElementsList[1].pFolder, "Beta");
    EXPECT_EQ(s.fElementsList[1].pDateModified, 0);
    EXPECT_EQ(s.fElementsList[1].pSpanCount, 0);
    EXPECT_EQ(s.nExcludeList, QStringList({"*.o"}));
    EXPECT_EQ(s.nExcludeFolderList, QStringList({"tmp", "Archive"}));
}

TEST_F(FolderZipPersistenceTest, ABadElementStampStopsTheFamilyKeepingEarlierProfiles) {
    LoadFolderZip(*ctx, IniOf({"[ZipFolderList]", "FZP202403051430001111=First", "FZP202403051430002222=Broken",
                               "FZP202403051430003333=Third", "[FZP202403051430002222]", "n_1=A", "n_2=B",
                               "d_2=20240231000000"}));
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    EXPECT_EQ(ctx->Profiles().front()->UID(), kUid);
}

class FolderZipWriterTest : public KindTest {
protected:
    FolderZipWriterTest() : fz(TLumo_FolderZip::Create(*ctx, kUid)) {
        TFolderZip_Settings s;
        s.nTitle = "Projects";
        s.fSetLastActive = true;
        s.fLastActive = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
        s.nSourceFolder = "/home/u/Projects/";
        s.nSaveToFolder = "/media/usb/Projects/";
        s.nCompression = 9;
        s.nPassword = "STORED";
        s.nCleanFolder = true;
        s.nDeleteToRecycle = false;
        s.nSpanningEnabled = false;
        s.nSpanningSizeValue = 100;
        s.nDiskStorageID = "1234:5678";
        s.nExcludeFolderList = {"Archive", "  ", "tmp"};
        s.fReplaceElList = true;
        s.fElementsList.resize(2);
        s.fElementsList[0].pFolder = "Alpha";
        s.fElementsList[0].pDateModified = EncodeDate(2024, 3, 1) + EncodeTime(12, 0, 0, 0);
        s.fElementsList[0].pSpanCount = 2;
        s.fElementsList[1].pFolder = "Beta";
        fz.ApplyNewSettings(s, false);
    }
    TLumo_FolderZip& fz;
};

TEST_F(FolderZipWriterTest, ProfileKeysAreWrittenInTheirOrder) {
    IniDocument out = IniOf({"[FZP202403051430001111_FolderEx]", "v0=Old", "v7=Older"});
    WriteFolderZipProfile(out, fz);
    EXPECT_EQ(out.ToBytes(),
              IniBytes({"[ZipFolderList]", "FZP202403051430001111=Projects", "[FZP202403051430001111_st]",
                        "LastActive=20240305143000", "SaveTo=/media/usb/Projects/", "FolderZip=/home/u/Projects/",
                        "Compression=9", "Password=STORED", "CleanFolder=1", "CleanFolderToTrash=0",
                        "SpanningEnabled=0", "SpanningSizeValue=100", "DiskSourceID=", "DiskStorageID=1234:5678",
                        "[FZP202403051430001111_FolderEx]", "v0=Archive", "v1=tmp"}));
}

TEST_F(FolderZipWriterTest, SegmentCountsAreWrittenOnlyWhileSplitting) {
    IniDocument out = IniOf({"[FZP202403051430001111]", "n_1=Gone", "d_1=20200101000000", "n_3=Gone too"});
    WriteFolderZipStates(out, fz);
    EXPECT_EQ(out.ToBytes(), IniBytes({"[FZP202403051430001111]", "n_1=Alpha", "d_1=20240301120000", "n_2=Beta",
                                       "d_2=18991230000000"}));

    TFolderZip_Settings splitting = fz.GetSettings();
    splitting.nSpanningEnabled = true;
    fz.ApplyNewSettings(splitting, false);
    IniDocument split;
    WriteFolderZipStates(split, fz);
    EXPECT_EQ(split.ToBytes(), IniBytes({"[FZP202403051430001111]", "n_1=Alpha", "d_1=20240301120000", "s_1=2",
                                         "n_2=Beta", "d_2=18991230000000", "s_2=0"}));
}

TEST_F(FolderZipWriterTest, WrittenProfileReadsBackWithTheSameSettingsAndStates) {
    TFolderZip_Settings more = fz.GetSettings();
    more.nExcludeList = {"*.o", "*.tmp"};
    more.nSpanningEnabled = true;
    fz.ApplyNewSettings(more, false);

    IniDocument out;
    ApplySaveRequest(out, TSaveTask{TSaveSetType::stFullProfile, kUid}, *ctx);
    auto second = NewContext();
    LoadFolderZip(*second, IniDocument::FromBytes(out.ToBytes()));
    ASSERT_EQ(second->Profiles().size(), 1u);
    const TLumo_FolderZip& loaded = *second->Profiles().front()->FolderZip();

    TFolderZip_Settings expected = fz.GetSettings();
    expected.nExcludeFolderList = {"Archive", "tmp"}; // the blank name is never stored
    EXPECT_EQ(loaded.GetSettings(), expected);
    EXPECT_EQ(loaded.LastActive(), fz.LastActive());
    ASSERT_EQ(loaded.Elements().size(), 2u);
    EXPECT_EQ(loaded.Elements()[0]->pFolder, "Alpha");
    EXPECT_EQ(loaded.Elements()[0]->pDateModified, fz.Elements()[0]->pDateModified);
    EXPECT_EQ(loaded.Elements()[0]->pSpanCount, 2);
    EXPECT_EQ(loaded.Elements()[1]->pFolder, "Beta");
    EXPECT_EQ(loaded.Elements()[1]->pDateModified, 0);
}

} // namespace
