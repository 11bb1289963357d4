#include "folderzip/folderzip_task.h"
#include "profiles/backup_profile.h"
#include "util/scramble.h"

#include "../sync/kind_test_support.h"

#include <QRegularExpression>

namespace {

using FolderZipSettingsTest = KindTest;

TFolderZip_Settings Settings(const QString& title = QStringLiteral("Projects")) {
    TFolderZip_Settings s;
    s.nTitle = title;
    return s;
}

TEST_F(FolderZipSettingsTest, CreateDrawsAnFzpUidAndMakesTheProfile) {
    TLumo_FolderZip& fz = TLumo_FolderZip::Create(*ctx, {});
    EXPECT_TRUE(QRegularExpression("^FZP\\d{18}$").match(fz.UID()).hasMatch()) << fz.UID().toStdString();
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    EXPECT_EQ(ctx->Profiles().front()->Kind(), TBackupClass::bcFolderZip);
    EXPECT_EQ(ctx->Profiles().front()->FolderZip(), &fz);
    EXPECT_EQ(fz.Profile(), ctx->Profiles().front().get());
    EXPECT_EQ(fz.Title(), "-");
}

TEST_F(FolderZipSettingsTest, OutOfRangeNumbersAndEmptyTitleAreCorrected) {
    const struct {
        QString title, expectedTitle;
        int compression, expectedCompression;
        int span, expectedSpan;
    } cases[] = {
        {"", "-", 12, 7, 5, 1900},
        {QString(91, u'p'), QString(90, u'p'), -1, 7, 10000, 1900},
        {"Projects", "Projects", 0, 0, 10, 10},
        {"Projects", "Projects", 9, 9, 9999, 9999},
    };
    TLumo_FolderZip& fz = TLumo_FolderZip::Create(*ctx, {});
    for (const auto& c : cases) {
        TFolderZip_Settings s = Settings(c.title);
        s.nCompression = c.compression;
        s.nSpanningSizeValue = c.span;
        fz.ApplyNewSettings(s, false);
        EXPECT_EQ(fz.Title(), c.expectedTitle);
        EXPECT_EQ(fz.Compression(), c.expectedCompression) << c.compression;
        EXPECT_EQ(fz.SpanningSizeValue(), c.expectedSpan) << c.span;
    }
}

TEST_F(FolderZipSettingsTest, GetSettingsGivesBackTheEditableSettings) {
    TLumo_FolderZip& fz = TLumo_FolderZip::Create(*ctx, {});
    TFolderZip_Settings s;
    s.nTitle = "Projects";
    s.nCleanFolder = true;
    s.nCompression = 4;
    s.nDeleteToRecycle = false;
    s.nDiskSourceID = "00A1:B2C3";
    s.nDiskStorageID = "1234:5678";
    s.nExcludeFolderList = {"Archive", "tmp"};
    s.nExcludeList = {"*.o", "*.tmp"};
    s.nPassword = "STORED";
    s.nSaveToFolder = "/media/usb/Projects/";
    s.nSourceFolder = "/home/u/Projects/";
    s.nSpanningEnabled = true;
    s.nSpanningSizeValue = 100;
    fz.ApplyNewSettings(s, true);
    EXPECT_EQ(fz.GetSettings(), s);
    const std::deque<TSaveTask> expected{{TSaveSetType::stFullProfile, fz.UID()}};
    EXPECT_EQ(Requests(), expected);
}

TEST_F(FolderZipSettingsTest, PasswordFollowsTheEditorRules) {
    TLumo_FolderZip& fz = TLumo_FolderZip::Create(*ctx, {});
    TFolderZip_Settings typed = Settings();
    typed.nPassword = "secret";
    typed.nPasswordModified = true;
    fz.ApplyNewSettings(typed, false);
    EXPECT_EQ(ScrambleText(fz.Password()), "secret");
    const QString stored = fz.Password();
    fz.ApplyNewSettings(Settings(), false);
    EXPECT_EQ(fz.Password(), stored);
    TFolderZip_Settings cleared = Settings();
    cleared.nPasswordModified = true;
    fz.ApplyNewSettings(cleared, false);
    EXPECT_EQ(fz.Password(), "");
}

TEST_F(FolderZipSettingsTest, OnlyTheLoaderBringsElementsAndTheLastRun) {
    TLumo_FolderZip& fz = TLumo_FolderZip::Create(*ctx, {});
    TFolderZip_Settings loaded = Settings();
    loaded.fReplaceElList = true;
    loaded.fElementsList.resize(2);
    loaded.fElementsList[0].pFolder = "Alpha";
    loaded.fElementsList[1].pFolder = "Beta";
    loaded.fSetLastActive = true;
    loaded.fLastActive = EncodeDate(2024, 3, 5);
    fz.ApplyNewSettings(loaded, false);

    TFolderZip_Settings edited = fz.GetSettings();
    edited.fElementsList.resize(1);
    edited.fLastActive = EncodeDate(2020, 1, 1);
    fz.ApplyNewSettings(edited, false);

    ASSERT_EQ(fz.Elements().size(), 2u);
    EXPECT_EQ(fz.Elements()[0]->pFolder, "Alpha");
    EXPECT_EQ(fz.Elements()[1]->pFolder, "Beta");
    EXPECT_EQ(fz.LastActive(), loaded.fLastActive);
}

TEST_F(FolderZipSettingsTest, FindElementIgnoresLetterCase) {
    TLumo_FolderZip& fz = TLumo_FolderZip::Create(*ctx, {});
    TFolderZip_Settings s = Settings();
    s.fReplaceElList = true;
    s.fElementsList.resize(2);
    s.fElementsList[0].pFolder = "Data";
    s.fElementsList[1].pFolder = "Docs";
    fz.ApplyNewSettings(s, false);
    EXPECT_EQ(fz.FindElement("DATA"), fz.Elements()[0].get());
    EXPECT_EQ(fz.FindElement("docs"), fz.Elements()[1].get());
    EXPECT_EQ(fz.FindElement("Dat"), nullptr);
}

class ExFolderListTest : public KindTest {
protected:
    ExFolderListTest() : fz(TLumo_FolderZip::Create(*ctx, {})) {
        TFolderZip_Settings s = Settings();
        s.nExcludeFolderList = {"beta", "Alpha"};
        fz.ApplyNewSettings(s, false);
    }
    TLumo_FolderZip& fz;
};

TEST_F(ExFolderListTest, AddedNamesAreSortedWithoutRepeats) {
    const QStringList add{"gamma", "ALPHA", "Delta", "  "};
    fz.UpdateExFolderList(&add, nullptr, false, false);
    EXPECT_EQ(fz.FolderExcludeList(), QStringList({"Alpha", "beta", "Delta", "gamma"}));
    const std::deque<TSaveTask> expected{{TSaveSetType::stProfile, fz.UID()}};
    EXPECT_EQ(Requests(), expected);
}

TEST_F(ExFolderListTest, ClearingReplacesTheList) {
    const QStringList add{"Zeta", "eta"};
    fz.UpdateExFolderList(&add, nullptr, true, false);
    EXPECT_EQ(fz.FolderExcludeList(), QStringList({"eta", "Zeta"}));
}

TEST_F(ExFolderListTest, RemovedNamesMatchTrimmedAndIgnoringCase) {
    const QStringList remove{" ALPHA "};
    fz.UpdateExFolderList(nullptr, &remove, false, false);
    EXPECT_EQ(fz.FolderExcludeList(), QStringList({"beta"}));
}

TEST_F(ExFolderListTest, NothingIsPostedWhenToldOrWhenNoListIsGiven) {
    const QStringList add{"gamma"};
    fz.UpdateExFolderList(&add, nullptr, false, true);
    EXPECT_EQ(fz.FolderExcludeList(), QStringList({"Alpha", "beta", "gamma"}));
    fz.UpdateExFolderList(nullptr, nullptr, false, false);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(FolderZipSettingsTest, TextsShowLastRunAndModificationDates) {
    TLumo_FolderZip& fz = TLumo_FolderZip::Create(*ctx, {});
    TFolderZip_Settings s = Settings();
    s.fReplaceElList = true;
    s.fElementsList.resize(3);
    s.fElementsList[0].pFolder = "Stored";
    s.fElementsList[0].pDateModified = EncodeDate(2023, 2, 5) + EncodeTime(10, 20, 0, 0);
    s.fElementsList[1].pFolder = "Scanned";
    s.fElementsList[1].pDateModified = EncodeDate(2023, 2, 5) + EncodeTime(10, 20, 0, 0);
    s.fElementsList[1].pNewDateModified = EncodeDate(2023, 2, 6) + EncodeTime(11, 45, 0, 0);
    s.fElementsList[2].pFolder = "Never";
    s.fSetLastActive = true;
    s.fLastActive = EncodeDate(2024, 3, 5) + EncodeTime(9, 15, 0, 0);
    fz.ApplyNewSettings(s, false);
    fz.RefreshTexts();

    EXPECT_EQ(fz.ScanResultText(), "");
    EXPECT_TRUE(fz.ResultText().startsWith("Last zip: ")) << fz.ResultText().toStdString();
    EXPECT_EQ(fz.Profile()->Values().txtLastSync, fz.ResultText());
    EXPECT_EQ(fz.StatusText(), "Status: wait");
    EXPECT_TRUE(fz.Elements()[0]->pLastModifiedText.startsWith("Modified: "));
    EXPECT_TRUE(fz.Elements()[0]->pLastModifiedText.contains("10:20"));
    EXPECT_TRUE(fz.Elements()[1]->pLastModifiedText.contains("11:45"));
    EXPECT_EQ(fz.Elements()[2]->pLastModifiedText, "Modified: Is not set");
}

} // namespace
