#include "app/app_context.h"
#include "app/settings_loader.h"
#include "ini/ini_values.h"
#include "settings/save_settings.h"

#include "qt_app.h"
#include "test_env.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class SaveQueueTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }
    TestSandbox sandbox;
    TAppContext ctx{TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"}};
    TSaveSettings& saver = ctx.Saver();
};

TEST_F(SaveQueueTest, RequestsMergeOnTypeAndUid) {
    for (int i = 0; i < 5; ++i)
        saver.AddNewTask(TSaveSetType::stProfile, "SNK1");
    saver.AddNewTask(TSaveSetType::stFullProfile, "SNK1");
    saver.AddNewTask(TSaveSetType::stProfile, "SNK2");
    saver.AddNewTask(TSaveSetType::stMain);
    saver.AddNewTask(TSaveSetType::stMain, "");
    const std::deque<TSaveTask> expected = {{TSaveSetType::stProfile, "SNK1"},
                                            {TSaveSetType::stFullProfile, "SNK1"},
                                            {TSaveSetType::stProfile, "SNK2"},
                                            {TSaveSetType::stMain, ""}};
    EXPECT_EQ(saver.WaitingRequests(), expected);
}

TEST_F(SaveQueueTest, MissingDataFolderIsCreatedByTheFirstPassAndWrittenByTheSecond) {
    saver.AddNewTask(TSaveSetType::stMain);
    saver.RunSaveAndWait();
    EXPECT_TRUE(QDir(ctx.Paths().DataFolder).exists());
    EXPECT_FALSE(QFile::exists(ctx.Paths().SettingsFile()));
    EXPECT_EQ(saver.WaitingRequests().size(), 1u);
    saver.RunSaveAndWait();
    EXPECT_TRUE(QFile::exists(ctx.Paths().SettingsFile()));
    EXPECT_TRUE(saver.WaitingRequests().empty());
}

TEST_F(SaveQueueTest, UncreatableDataFolderDropsTheRequests) {
    sandbox.writeFile("blocker", "a file where a folder should be");
    TAppContext blocked(TAppPaths{sandbox.path() + "/blocker/data/", sandbox.path() + "/Lang/"});
    blocked.Saver().AddNewTask(TSaveSetType::stMain);
    blocked.Saver().RunSaveAndWait();
    EXPECT_TRUE(blocked.Saver().WaitingRequests().empty());
}

TEST_F(SaveQueueTest, NoPassWhileLockedOrClosing) {
    QDir().mkpath(ctx.Paths().DataFolder);
    saver.AddNewTask(TSaveSetType::stMain);
    ctx.SettingsLocked = true;
    saver.RunSaveAndWait();
    ctx.SettingsLocked = false;
    ctx.AppClosing = true;
    saver.RunSaveAndWait();
    EXPECT_FALSE(QFile::exists(ctx.Paths().SettingsFile()));
    EXPECT_EQ(saver.WaitingRequests().size(), 1u);
    ctx.AppClosing = false;
}

TEST_F(SaveQueueTest, PassOnlyRewritesWhatItsRequestsName) {
    const QByteArray original = "\xEF\xBB\xBF[Unknown]\r\nkeep=me\r\n; a comment\r\n"
                                "[Main]\r\nForeign=1\r\nStayOnTop=0\r\nLanguage=Eng\r\n"
                                "[ZZZ_Last]\r\nx=\xFF\xFE\r\n";
    sandbox.writeFile("data/Backup.ini", original);
    ctx.Options.Language = "Rus";
    ctx.Options.StayOnTop = true;
    saver.AddNewTask(TSaveSetType::stMain);
    saver.RunSaveAndWait();
    const QByteArray expected = "\xEF\xBB\xBF[Unknown]\r\nkeep=me\r\n; a comment\r\n"
                                "[Main]\r\nForeign=1\r\nStayOnTop=1\r\nLanguage=Rus\r\n"
                                "LanguageLocal=1\r\nShowTrayIcon=1\r\nShowIconsInResult=1\r\nBetaVersion=0\r\n"
                                "AutoUpdateCheck=1\r\nAutoUpdateLast=18991230000000\r\nDelayedStart=1\r\n"
                                "LowPriorityWhenHiden=1\r\nUpdateAvailable=0\r\n"
                                "[ZZZ_Last]\r\nx=\xFF\xFE\r\n";
    EXPECT_EQ(sandbox.readFile("data/Backup.ini"), expected);
}

TEST_F(SaveQueueTest, FailedPassKeepsTheFileAndRetriesTheRequestsLater) {
    // A folder in place of the settings file makes reading it fail.
    QDir().mkpath(ctx.Paths().SettingsFile());
    ctx.Options.StayOnTop = true;
    saver.AddNewTask(TSaveSetType::stMain);
    saver.RunSaveAndWait();
    EXPECT_EQ(saver.WaitingRequests().size(), 1u);
    QDir().rmdir(ctx.Paths().SettingsFile());
    saver.RunSaveAndWait();
    EXPECT_TRUE(saver.WaitingRequests().empty());
    const IniDocument ini = ReadSettingsFile(ctx.Paths().SettingsFile());
    EXPECT_EQ(ini.Value("Main", "StayOnTop"), "1");
}

TEST_F(SaveQueueTest, PositionsHoldEveryRowAndGoToTheEndOfMain) {
    sandbox.writeFile("data/Backup.ini", "[Main]\r\nPositions=00\r\nLanguage=Eng\r\n");
    saver.fPosition = {"B", "A"};
    saver.AddNewTask(TSaveSetType::stListPos);
    saver.RunSaveAndWait();
    const IniDocument ini = ReadSettingsFile(ctx.Paths().SettingsFile());
    EXPECT_EQ(ini.Keys("Main"), QStringList({"Language", "Positions"}));
    // No profiles exist, so the order is empty.
    EXPECT_TRUE(UnpackList(ini.Value("Main", "Positions")).isEmpty());
    EXPECT_FALSE(ini.Value("Main", "Positions").isEmpty());
}

} // namespace
