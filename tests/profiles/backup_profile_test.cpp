#include "app/app_context.h"
#include "folderzip/folderzip_task.h"
#include "lang/builtin_tables.h"
#include "profiles/profile_texts.h"
#include "scheduler/cron_entry.h"
#include "scheduler/schedule.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "zip/zip_task.h"

#include "qt_app.h"
#include "test_env.h"

#include <gtest/gtest.h>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        SetBuiltinEnglish(ctx.Language, ctx.Options.Language, ctx.Options.LanguageLocal);
    }

    TLumo_Crone& AddCron(const QString& profileUid, bool enabled) {
        TCroneSettings s;
        s.Enabled = enabled;
        s.CronRepeat = TCronRepeat::trDaily;
        s.DaysRepeat = "1111111";
        s.CronSender.SenderUID = profileUid;
        return CreateCron(ctx.Schedule(), s);
    }

    std::deque<TSaveTask> Waiting() const { return ctx.Saver().WaitingRequests(); }

    TestSandbox sandbox;
    TAppContext ctx{TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"}};
};

TEST_F(ProfileTest, NewProfilesGetDistinctUidsOfTheirKind) {
    QSet<QString> seen;
    for (int i = 0; i < 30; ++i) {
        const QString uid = TLumo_Sync::Create(ctx, {}).UID();
        EXPECT_TRUE(uid.startsWith("SNK")) << uid.toStdString();
        EXPECT_EQ(uid.size(), 21);
        EXPECT_FALSE(seen.contains(uid));
        seen.insert(uid);
    }
    EXPECT_TRUE(TLumo_Zip::Create(ctx, {}).UID().startsWith("ZIP"));
    EXPECT_TRUE(TLumo_FolderZip::Create(ctx, {}).UID().startsWith("FZP"));
    EXPECT_EQ(ctx.Profiles().size(), 32u);
}

TEST_F(ProfileTest, ProfilesKeepTheirStoredUidAndComeInCreationOrder) {
    TLumo_Zip::Create(ctx, "ZIP202401011200001111");
    TLumo_Sync::Create(ctx, "SNK202401011200002222");
    ASSERT_EQ(ctx.Profiles().size(), 2u);
    EXPECT_EQ(ctx.Profiles()[0]->UID(), "ZIP202401011200001111");
    EXPECT_EQ(ctx.Profiles()[0]->Kind(), TBackupClass::bcZip);
    EXPECT_EQ(ctx.Profiles()[1]->Values().tClass, TBackupClass::bcSync);
    EXPECT_EQ(ctx.FindProfileByUID("SNK202401011200002222"), ctx.Profiles()[1].get());
    EXPECT_EQ(ctx.FindProfileByUID("snk202401011200002222"), nullptr); // exact comparison
    EXPECT_FALSE(ctx.IsUIDUnique("ZIP202401011200001111"));
}

TEST_F(ProfileTest, DisplayRecordOfAnIdleSyncShowsItsLastRunText) {
    TLumo_Sync& sync = TLumo_Sync::Create(ctx, "SNK202401011200000001");
    TSyncSettings s;
    s.nTitle = "Documents";
    s.fSetLastActive = true;
    s.fLastActive = Now() - 1.0;
    sync.ApplyNewSettings(s, false);
    sync.UpdateLastActive();
    sync.Profile()->SetFullValues();
    const TGL_Profile& v = sync.Profile()->Values();
    EXPECT_EQ(v.txtTitle, "Documents");
    EXPECT_EQ(v.txtStatus, "Status: wait");
    EXPECT_TRUE(v.txtLastSync.startsWith("Last sync: Yesterday at ")) << v.txtLastSync.toStdString();
    EXPECT_EQ(v.tAction, TTaskStatus::tsNone);
}

TEST_F(ProfileTest, ArchiveBackupUsesOnlyTheFirstProgressBar) {
    TLumo_Zip& zip = TLumo_Zip::Create(ctx, {});
    zip.Profile()->SetFullValues();
    EXPECT_EQ(zip.Profile()->Values().iFullProgress, 0);
    zip.Profile()->SetProgress();
    EXPECT_EQ(zip.Profile()->Values().iFullProgress, 0);
}

TEST_F(ProfileTest, HaveCronFollowsTheEnabledEntriesOfTheProfile) {
    TLumo_BackupProfile& a = *TLumo_Sync::Create(ctx, {}).Profile();
    TLumo_BackupProfile& b = *TLumo_Sync::Create(ctx, {}).Profile();
    AddCron(a.UID(), false);
    ctx.UpdateAllHaveCron();
    EXPECT_FALSE(a.Values().bHaveCron);
    AddCron(a.UID(), true);
    ctx.UpdateAllHaveCron();
    EXPECT_TRUE(a.Values().bHaveCron);
    EXPECT_FALSE(b.Values().bHaveCron);
}

TEST_F(ProfileTest, DeleteRemovesTheProfileItsEntriesAndPostsTheErasure) {
    TLumo_BackupProfile& doomed = *TLumo_Sync::Create(ctx, {}).Profile();
    TLumo_BackupProfile& kept = *TLumo_Zip::Create(ctx, {}).Profile();
    const QString doomedUid = doomed.UID();
    AddCron(doomedUid, true);
    AddCron(kept.UID(), true);
    AddCron(doomedUid, true);
    ctx.UpdateAllHaveCron();

    doomed.Delete();

    EXPECT_EQ(ctx.FindProfileByUID(doomedUid), nullptr);
    ASSERT_EQ(ctx.Schedule().Entries().size(), 1u);
    EXPECT_EQ(ctx.Schedule().Entries()[0]->SenderUID(), kept.UID());
    EXPECT_TRUE(kept.Values().bHaveCron);
    EXPECT_EQ(Waiting(), std::deque<TSaveTask>({{TSaveSetType::stDelProfile, doomedUid}}));
}

TEST_F(ProfileTest, CronActionStoresTheFiring) {
    TLumo_BackupProfile& p = *TLumo_Sync::Create(ctx, {}).Profile();
    AddCron(p.UID(), true);
    p.OnCronAction();
    EXPECT_TRUE(p.Values().bHaveCron);
    EXPECT_EQ(Waiting(), std::deque<TSaveTask>({{TSaveSetType::stCrone, ""}}));
}

TEST_F(ProfileTest, SetScriptListsCopiesDeeplyAndPostsOnlyWhenAsked) {
    TLumo_BackupProfile& p = *TLumo_Sync::Create(ctx, {}).Profile();
    TLumo_ScriptList before;
    TLumo_ProfileScript condition(TActionType::taIfFileExists);
    condition.fValues << "File=/tmp/x";
    TLumo_ProfileScript pause(TActionType::taPause);
    pause.fValues << "Pause=3";
    condition.fIfYesList.push_back(pause);
    before.push_back(condition);

    p.SetScriptLists(before, {}, false);
    EXPECT_TRUE(Waiting().empty());
    before[0].fIfYesList[0].fValues[0] = "Pause=99";
    ASSERT_EQ(p.ScriptsBefore().size(), 1u);
    EXPECT_EQ(p.ScriptsBefore()[0].fIfYesList[0].fValues, QStringList({"Pause=3"}));

    p.SetScriptLists(before, before, true);
    EXPECT_EQ(Waiting(), std::deque<TSaveTask>({{TSaveSetType::stProfileScripts, p.UID()}}));
}

struct ErrorCase {
    TLumo_Error error;
    const char* expected;
};

class ErrorTextTest : public ProfileTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorTextTest, FormatsTheMessageOfTheError) {
    EXPECT_EQ(ErrorText("Sync completed with errors: %s", GetParam().error), QString(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ErrorTextTest,
    ::testing::Values(ErrorCase{TLumo_Error::feNone, ""},
                      ErrorCase{TLumo_Error::feSourceFilesFolder, "Sync completed with errors: Source folder not found."},
                      ErrorCase{TLumo_Error::feSourceElements, "Sync completed with errors: Source elements not found."},
                      ErrorCase{TLumo_Error::feCleanFolder, "Sync completed with errors: Clean folder error."},
                      ErrorCase{TLumo_Error::feDelete, "Sync completed with errors: Error deleting destination file."},
                      ErrorCase{TLumo_Error::feCopy, "Sync completed with errors: Error copy file to destination."}));

TEST_F(ProfileTest, OperationTextsComeFromTheCurrentLanguage) {
    EXPECT_EQ(OperationText(TLumo_Operation::fsNone), "Status: wait");
    EXPECT_EQ(OperationText(TLumo_Operation::fsScriptBefore), "Performing script actions before the operation");
    EXPECT_EQ(FileStatusText(TLumo_FileStatus::flsActive), "OK");
    SetBuiltinRussian(ctx.Language, ctx.Options.Language, ctx.Options.LanguageLocal);
    EXPECT_EQ(OperationText(TLumo_Operation::fsNone), QString::fromUtf8("Статус: ожидание"));
}

} // namespace

namespace {

TEST(AppContext, ContextsMayEndInAnyOrder) {
    TestSandbox sandbox;
    const TAppPaths paths{sandbox.path() + "/", sandbox.path() + "/Lang/"};
    auto first = std::make_unique<TAppContext>(paths);
    auto second = std::make_unique<TAppContext>(paths);
    EXPECT_EQ(&TAppContext::Current(), second.get());
    EXPECT_EQ(&TLanguage::Current(), &second->Language);
    first.reset();
    EXPECT_EQ(&TAppContext::Current(), second.get());
    EXPECT_EQ(&TLanguage::Current(), &second->Language);
    second.reset();
    EXPECT_NE(&TLanguage::Current(), nullptr);
}

} // namespace
