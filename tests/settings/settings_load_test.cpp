#include "app/app_context.h"
#include "app/settings_loader.h"
#include "scheduler/schedule.h"
#include "settings/save_settings.h"

#include "qt_app.h"
#include "settings_fixture.h"
#include "test_env.h"

#include <gtest/gtest.h>

namespace {

class SettingsLoadTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }

    std::unique_ptr<TAppContext> Load(const QByteArray& bytes) {
        sandbox.writeFile("data/Backup.ini", bytes);
        auto ctx = std::make_unique<TAppContext>(TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"});
        ctx->SystemLanguage = "Eng";
        LoadAllSettings(*ctx);
        return ctx;
    }

    static int CountKind(const TAppContext& ctx, TBackupClass kind) {
        int n = 0;
        for (const auto& p : ctx.Profiles())
            n += p->Kind() == kind;
        return n;
    }

    TestSandbox sandbox;
};

TEST_F(SettingsLoadTest, MissingFileGivesDefaults) {
    TAppContext ctx(TAppPaths{sandbox.path() + "/none/", sandbox.path() + "/Lang/"});
    ctx.SystemLanguage = "Rus";
    LoadAllSettings(ctx);
    EXPECT_TRUE(ctx.Profiles().empty());
    EXPECT_TRUE(ctx.Options.ShowTrayIcon);
    EXPECT_FALSE(ctx.Options.StayOnTop);
    // No language stored: the system's built-in table, marked built-in.
    EXPECT_EQ(ctx.Options.Language, "Rus");
    EXPECT_TRUE(ctx.Options.LanguageLocal);
}

TEST_F(SettingsLoadTest, MainOptionsFollowTheReadingRules) {
    const auto ctx = Load("[main]\nshowtrayicon=yes\nStayOnTop=2\nBetaVersion=$1F\nAutoUpdateCheck=0x0\n"
                          "AutoUpdateLast=2024113010101\nDelayedStart=junk\nLanguage=Eng\n");
    EXPECT_TRUE(ctx->Options.ShowTrayIcon);  // "yes" is not a number: default true
    EXPECT_TRUE(ctx->Options.StayOnTop);     // any non-zero integer
    EXPECT_TRUE(ctx->Options.BetaVersion);   // hexadecimal
    EXPECT_FALSE(ctx->Options.AutoUpdateCheck);
    EXPECT_EQ(ctx->Options.AutoUpdateLast, 0.0); // 13 digits: never
    EXPECT_TRUE(ctx->Options.DelayedStart);
}

TEST_F(SettingsLoadTest, AnImpossibleDateInMainKeepsWhatWasReadBeforeIt) {
    const auto ctx = Load("[Main]\nStayOnTop=1\nAutoUpdateLast=20241399000000\nDelayedStart=0\n");
    EXPECT_TRUE(ctx->Options.StayOnTop);
    EXPECT_TRUE(ctx->Options.DelayedStart); // read after the bad date: default
}

TEST_F(SettingsLoadTest, FullFixtureLoadsEveryProfileInDisplayOrder) {
    const TSettingsFixture f = MakeSettingsFixture(30);
    for (const QByteArray& bytes : {f.Bytes, QByteArray(f.Bytes).replace("\r\n", "\n"), f.Bytes.mid(3)}) {
        const auto ctx = Load(bytes);
        EXPECT_EQ(CountKind(*ctx, TBackupClass::bcSync), f.SyncUIDs.size());
        EXPECT_EQ(CountKind(*ctx, TBackupClass::bcZip), f.ZipUIDs.size());
        EXPECT_EQ(CountKind(*ctx, TBackupClass::bcFolderZip), f.FolderZipUIDs.size());
        EXPECT_EQ(ctx->DisplayOrderUIDs(), f.FolderZipUIDs + f.ZipUIDs + f.SyncUIDs);
        EXPECT_EQ(ctx->Schedule().Entries().size(), static_cast<size_t>(f.ProfileCount()));
        const TLumo_BackupProfile* first = ctx->FindProfileByUID(f.SyncUIDs.first());
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->ScriptsBefore().size(), 2u);
        EXPECT_EQ(first->ScriptsAfter().size(), 2u);
        EXPECT_TRUE(first->Values().bHaveCron);
    }
}

TEST_F(SettingsLoadTest, UndecodablePositionsGiveLoadOrder) {
    TSettingsFixture f = MakeSettingsFixture(6);
    const qsizetype at = f.Bytes.indexOf("Positions=") + 10;
    f.Bytes.replace(at, 6, "ZZZZZZ");
    const auto ctx = Load(f.Bytes);
    EXPECT_EQ(ctx->DisplayOrderUIDs(), f.SyncUIDs + f.ZipUIDs + f.FolderZipUIDs);
}

TEST_F(SettingsLoadTest, AnErrorStopsOnlyItsOwnFamily) {
    TSettingsFixture f = MakeSettingsFixture(9);
    // The second sync profile has an impossible last-run time.
    const QByteArray marker = "[" + f.SyncUIDs[1].toLatin1() + "_st]\r\nLastActive=20241201083000";
    ASSERT_TRUE(f.Bytes.contains(marker));
    f.Bytes.replace(marker, "[" + f.SyncUIDs[1].toLatin1() + "_st]\r\nLastActive=20241301083000");
    const auto ctx = Load(f.Bytes);
    EXPECT_EQ(CountKind(*ctx, TBackupClass::bcSync), 1);
    EXPECT_NE(ctx->FindProfileByUID(f.SyncUIDs[0]), nullptr);
    EXPECT_EQ(ctx->FindProfileByUID(f.SyncUIDs[1]), nullptr);
    EXPECT_EQ(CountKind(*ctx, TBackupClass::bcZip), f.ZipUIDs.size());
    EXPECT_EQ(CountKind(*ctx, TBackupClass::bcFolderZip), f.FolderZipUIDs.size());
}

TEST_F(SettingsLoadTest, BinaryJunkAndOddValuesNeverCrash) {
    TSettingsFixture f = MakeSettingsFixture(9);
    QByteArray junk;
    for (int i = 0; i < 2048; ++i)
        junk.append(static_cast<char>((i * 131 + 7) % 256));
    f.Bytes.replace("[ZipList]", junk + "\r\n[ZipList]");
    f.Bytes.replace("Compression=6", "Compression=99");
    f.Bytes.replace("ProfileScript_After=", "ProfileScript_After=DEADBEEF");
    const auto ctx = Load(f.Bytes);
    EXPECT_EQ(static_cast<int>(ctx->Profiles().size()), f.ProfileCount());
}

} // namespace
