#include "app/app_context.h"
#include "app/settings_loader.h"
#include "profiles/task_queue.h"
#include "app/window_commands.h"
#include "lang/builtin_tables.h"
#include "settings/global_options.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "util/main_thread.h"

#include "test_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// The commands a window gives by UID, over real sync profiles; a long
// before-script pause keeps a run going until it is stopped.
class WindowCommands : public ::testing::Test {
protected:
    WindowCommands() {
        SetBuiltinEnglish(ctx.Language, ctx.Options.Language, ctx.Options.LanguageLocal);
        QDir().mkpath(sandbox.file("data"));
    }

    QString AddSync(const QString& title, bool pausing = false) {
        TLumo_Sync& sync = TLumo_Sync::Create(ctx, {});
        TSyncSettings s;
        s.nTitle = title;
        QDir().mkpath(sandbox.file(title + "/src"));
        s.nValueList = {sandbox.file(title + "/src/"), sandbox.file(title + "/dst/")};
        sync.ApplyNewSettings(s, false);
        if (pausing) {
            TLumo_ProfileScript pause(TActionType::taPause);
            pause.AddValue("Pause", "60");
            sync.Profile()->SetScriptLists({pause}, {}, false);
            // Copied only by a run that gets past its pause.
            sandbox.writeFile(title + "/src/marker.txt", "x");
        }
        return sync.UID();
    }
    QStringList StoredPositions() const {
        TGlobalOptions options;
        QStringList positions;
        LoadMainSection(ReadSettingsFile(ctx.Paths().SettingsFile()), options, positions);
        return positions;
    }
    void WaitUntilQueueEmpty() {
        ServeMainThreadWhile([this] { return !ctx.TaskQueue().IsEmpty(); });
    }

    bool CopiedMarker(const QString& title) const { return QFile::exists(sandbox.file(title + "/dst/marker.txt")); }

    TestSandbox sandbox;
    TAppContext ctx{TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"}};
};

TEST_F(WindowCommands, UnknownUIDsAreIgnored) {
    EXPECT_FALSE(ProfileRow(ctx, "SNK20260101000000-0000").has_value());
    EXPECT_FALSE(IsProfileIdle(ctx, "SNK20260101000000-0000"));
    RunProfile(ctx, "SNK20260101000000-0000", false);
    ToggleProfileRun(ctx, "SNK20260101000000-0000");
    EXPECT_TRUE(ctx.TaskQueue().IsEmpty());
    EXPECT_TRUE(DeleteIdleProfiles(ctx, {"SNK20260101000000-0000"}).isEmpty());
}

TEST_F(WindowCommands, ToggleRunsAnIdleProfileAndStopsARunningOne) {
    const QString uid = AddSync("Pausing", true);
    ToggleProfileRun(ctx, uid);
    EXPECT_EQ(ProfileRow(ctx, uid)->tAction, TTaskStatus::tsRun);
    ToggleProfileRun(ctx, uid);
    WaitUntilQueueEmpty();
    EXPECT_TRUE(IsProfileIdle(ctx, uid));
    EXPECT_FALSE(CopiedMarker("Pausing"));
}

TEST_F(WindowCommands, DeleteTakesOnlyIdleProfilesAndSavesTheOrder) {
    const QString a = AddSync("A");
    const QString running = AddSync("Running", true);
    const QString queued = AddSync("Queued", true);
    const QString d = AddSync("D");
    RunProfile(ctx, running, false);
    RunProfile(ctx, queued, false);
    EXPECT_EQ(DeleteIdleProfiles(ctx, {a, running, queued, d}), (QStringList{a, d}));
    EXPECT_EQ(ctx.FindProfileByUID(a), nullptr);
    EXPECT_NE(ctx.FindProfileByUID(running), nullptr);
    EXPECT_NE(ctx.FindProfileByUID(queued), nullptr);
    ctx.Saver().RunSaveAndWait();
    EXPECT_EQ(StoredPositions(), (QStringList{running, queued}));
    AbortProfile(ctx, queued);
    AbortProfile(ctx, running);
    WaitUntilQueueEmpty();
}

TEST_F(WindowCommands, RowOrderIsTheDisplayOrderAndIsSaved) {
    const QString a = AddSync("A");
    const QString b = AddSync("B");
    SetRowOrder(ctx, {b, a});
    EXPECT_EQ(ctx.DisplayOrderUIDs(), (QStringList{b, a}));
    ctx.Saver().RunSaveAndWait();
    EXPECT_EQ(StoredPositions(), (QStringList{b, a}));
}

TEST_F(WindowCommands, ShutdownSavesFirstThenStopsTheRunningTask) {
    const QString a = AddSync("A");
    const QString running = AddSync("Running", true);
    RunProfile(ctx, running, false);
    SetRowOrder(ctx, {running, a});
    ShutdownEngine(ctx);
    // Written although AppClosing is set afterwards, which refuses every later pass.
    EXPECT_EQ(StoredPositions(), (QStringList{running, a}));
    EXPECT_TRUE(ctx.AppClosing);
    EXPECT_TRUE(ctx.TaskQueue().IsEmpty());
    EXPECT_FALSE(CopiedMarker("Running"));
}

// At the first start the data folder does not exist yet: a pass that only
// makes it writes nothing, so the last pass at close must still write.
TEST_F(WindowCommands, ShutdownWritesAlsoWhenTheDataFolderIsMissing) {
    const QString a = AddSync("A");
    const QString b = AddSync("B");
    ASSERT_TRUE(QDir(sandbox.file("data")).removeRecursively());
    SetRowOrder(ctx, {b, a});
    ShutdownEngine(ctx);
    EXPECT_EQ(StoredPositions(), (QStringList{b, a}));
}

} // namespace
