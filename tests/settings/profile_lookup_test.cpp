#include "app/app_context.h"
#include "profiles/backup_profile.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"

#include "qt_app.h"
#include "test_env.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class ProfileLookupTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }
    TLumo_BackupProfile& Make(const QString& uid) { return *TLumo_Sync::Create(ctx, uid).Profile(); }
    TestSandbox sandbox;
    TAppContext ctx{TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"}};
};

TEST_F(ProfileLookupTest, LookupsFollowDeletesAndRecreates) {
    TLumo_BackupProfile& a = Make("SNK1");
    TLumo_BackupProfile& b = Make("SNK2");
    TLumo_BackupProfile& c = Make("SNK3");
    EXPECT_EQ(ctx.FindProfileByUID("SNK2"), &b);

    b.Delete();
    EXPECT_EQ(ctx.FindProfileByUID("SNK2"), nullptr);
    EXPECT_TRUE(ctx.IsUIDUnique("SNK2"));
    EXPECT_EQ(ctx.FindProfileByUID("SNK1"), &a);
    EXPECT_EQ(ctx.FindProfileByUID("SNK3"), &c);

    TLumo_BackupProfile& again = Make("SNK2");
    EXPECT_EQ(ctx.FindProfileByUID("SNK2"), &again);
    EXPECT_FALSE(ctx.IsUIDUnique("SNK2"));
    // The comparison stays exact.
    EXPECT_EQ(ctx.FindProfileByUID("snk2"), nullptr);
    EXPECT_EQ(ctx.FindProfileByUID("SNK2 "), nullptr);

    // With two profiles of one UID the first in the list is found, and the
    // second once the first is gone.
    TLumo_BackupProfile& twin = Make("SNK1");
    EXPECT_EQ(ctx.FindProfileByUID("SNK1"), &a);
    a.Delete();
    EXPECT_EQ(ctx.FindProfileByUID("SNK1"), &twin);
    twin.Delete();
    EXPECT_EQ(ctx.FindProfileByUID("SNK1"), nullptr);

    ctx.ClearProfiles();
    EXPECT_EQ(ctx.FindProfileByUID("SNK2"), nullptr);
    EXPECT_EQ(ctx.FindProfileByUID("SNK3"), nullptr);
    TLumo_BackupProfile& afterClear = Make("SNK3");
    EXPECT_EQ(ctx.FindProfileByUID("SNK3"), &afterClear);
}

TEST_F(ProfileLookupTest, ARequestTakenByAPassCanBePostedAgain) {
    QDir().mkpath(ctx.Paths().DataFolder);
    TSaveSettings& saver = ctx.Saver();
    saver.AddNewTask(TSaveSetType::stMain);
    saver.AddNewTask(TSaveSetType::stMain);
    saver.AddNewTask(TSaveSetType::stCrone);
    EXPECT_EQ(saver.WaitingRequests().size(), 2u);
    saver.RunSaveAndWait();
    EXPECT_TRUE(saver.WaitingRequests().empty());
    saver.AddNewTask(TSaveSetType::stCrone);
    saver.AddNewTask(TSaveSetType::stMain);
    saver.AddNewTask(TSaveSetType::stCrone);
    const std::deque<TSaveTask> expected = {{TSaveSetType::stCrone, ""}, {TSaveSetType::stMain, ""}};
    EXPECT_EQ(saver.WaitingRequests(), expected);
}

} // namespace
