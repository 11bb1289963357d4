#include "app/app_context.h"
#include "app/settings_loader.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"

#include "qt_app.h"
#include "test_env.h"

#include <gtest/gtest.h>

namespace {

TSyncSettings Pair(const QString& title, const QString& folder) {
    TSyncSettings s;
    s.nTitle = title;
    s.nValueList = {"/src/" + folder + "/", "/dst/" + folder + "/"};
    return s;
}

TEST(UidLineBreak, AProfileWhoseUidHoldsACarriageReturnSavesWithoutSplittingALine) {
    EnsureQtApp();
    TestSandbox sandbox;
    const TAppPaths paths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"};
    sandbox.writeFile("data/Backup.ini", "");
    const QString odd = QStringLiteral("SNK20240101\r1200000002");
    {
        TAppContext ctx(paths);
        TLumo_Sync::Create(ctx, "SNK202401011200000001").ApplyNewSettings(Pair("Alpha", "a"), true);
        TLumo_Sync::Create(ctx, odd).ApplyNewSettings(Pair("Odd", "o"), true);
        TLumo_Sync::Create(ctx, "SNK202401011200000003").ApplyNewSettings(Pair("Gamma", "c"), true);
        ctx.Saver().AddNewTask(TSaveSetType::stListPos);
        ctx.Saver().RunSaveAndWait();
    }

    // Every CR of the file ends a line with its LF.
    const QByteArray bytes = sandbox.readFile("data/Backup.ini");
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));

    TAppContext ctx(paths);
    ctx.SystemLanguage = "Eng";
    LoadAllSettings(ctx);
    ASSERT_EQ(ctx.Profiles().size(), 3u);
    const struct {
        const char* uid;
        const char* title;
        const char* folder;
    } expected[] = {
        {"SNK202401011200000001", "Alpha", "a"},
        {"SNK20240101 1200000002", "Odd", "o"},
        {"SNK202401011200000003", "Gamma", "c"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.uid);
        const TLumo_BackupProfile* profile = ctx.FindProfileByUID(e.uid);
        ASSERT_NE(profile, nullptr);
        EXPECT_EQ(profile->Title(), e.title);
        EXPECT_EQ(profile->Sync()->GetSettings().nValueList,
                  QStringList({QString("/src/%1/").arg(e.folder), QString("/dst/%1/").arg(e.folder)}));
    }
    EXPECT_EQ(ctx.DisplayOrderUIDs(),
              QStringList({"SNK202401011200000001", "SNK20240101 1200000002", "SNK202401011200000003"}));
}

} // namespace
