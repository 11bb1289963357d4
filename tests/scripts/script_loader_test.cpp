#include "script_test_support.h"

#include "app/app_context.h"
#include "app/settings_loader.h"
#include "profiles/backup_profile.h"
#include "qt_app.h"
#include "scripts/script_persistence.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "test_env.h"

#include <gtest/gtest.h>

namespace {

const QString kFirst = QStringLiteral("SNK202401011200001234");
const QString kSecond = QStringLiteral("SNK202401011200005678");

class ScriptLoader : public ::testing::Test {
protected:
    // The context's save timer needs the application object first.
    bool fQtApp = (EnsureQtApp(), true);
    TestSandbox sandbox;
    TAppContext ctx{TAppPaths{sandbox.path() + "/", sandbox.path() + "/Lang/"}};

    TLumo_BackupProfile& Profile(const QString& uid) {
        TLumo_Sync::Create(ctx, uid);
        return *ctx.FindProfileByUID(uid);
    }
};

TLumo_ProfileScript Pause(const char* seconds) {
    TLumo_ProfileScript action(TActionType::taPause);
    action.AddValue("Pause", QLatin1String(seconds));
    return action;
}

TEST_F(ScriptLoader, EveryProfileGetsItsOwnListsAndBranches) {
    TLumo_BackupProfile& first = Profile(kFirst);
    TLumo_BackupProfile& second = Profile(kSecond);
    TLumo_ProfileScript condition(TActionType::taIfAppRunning);
    condition.AddValue("App", "/usr/bin/app");
    condition.fIfYesList.push_back(Pause("1"));
    condition.fIfNoList.push_back(Pause("2"));
    const TLumo_ScriptList firstBefore{condition, Pause("3")};
    const TLumo_ScriptList secondAfter{Pause("4")};

    IniDocument ini;
    WriteProfileScripts(ini, kFirst, firstBefore, {});
    WriteProfileScripts(ini, kSecond, {}, secondAfter);
    LoadScripts(ctx, ini);

    EXPECT_EQ(DescribeScripts(first.ScriptsBefore()), DescribeScripts(firstBefore));
    EXPECT_TRUE(first.ScriptsAfter().empty());
    EXPECT_TRUE(second.ScriptsBefore().empty());
    EXPECT_EQ(DescribeScripts(second.ScriptsAfter()), DescribeScripts(secondAfter));
    // Loading posts no save request.
    EXPECT_TRUE(ctx.Saver().WaitingRequests().empty());
}

TEST_F(ScriptLoader, AnUndecodableValueEmptiesThatListOnly) {
    TLumo_BackupProfile& first = Profile(kFirst);
    TLumo_BackupProfile& second = Profile(kSecond);
    IniDocument ini;
    WriteProfileScripts(ini, kFirst, {Pause("5")}, {Pause("6")});
    WriteProfileScripts(ini, kSecond, {Pause("7")}, {});
    ini.SetValue(kFirst + "_st", "Title", "Documents");
    ini.SetValue(kFirst + "_st", "ProfileScript_Before", "789C0300");

    LoadScripts(ctx, ini);

    EXPECT_TRUE(first.ScriptsBefore().empty());
    ASSERT_EQ(first.ScriptsAfter().size(), 1u);
    EXPECT_EQ(first.ScriptsAfter()[0].GetValue("Pause"), QStringLiteral("6"));
    ASSERT_EQ(second.ScriptsBefore().size(), 1u);
    EXPECT_EQ(second.ScriptsBefore()[0].GetValue("Pause"), QStringLiteral("7"));
    EXPECT_EQ(ini.Value(kFirst + "_st", "Title"), QStringLiteral("Documents"));
}

TEST_F(ScriptLoader, ProfileWithoutKeysHasEmptyListsAndLoadingReplacesOldOnes) {
    TLumo_BackupProfile& first = Profile(kFirst);
    first.SetScriptLists({Pause("8")}, {Pause("9")}, false);
    LoadScripts(ctx, IniDocument());
    EXPECT_TRUE(first.ScriptsBefore().empty());
    EXPECT_TRUE(first.ScriptsAfter().empty());
}

} // namespace
