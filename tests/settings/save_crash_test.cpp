#include "app/app_context.h"
#include "app/settings_loader.h"
#include "ini/ini_values.h"
#include "scheduler/schedule.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"

#include "qt_app.h"
#include "settings_fixture.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QThread>

#include <csignal>

#include <gtest/gtest.h>

namespace {

const char* kChildEnv = "NORVANE_SAVE_CRASH_CHILD";

// Run in a child process: saves the whole settings file over and over until
// it is killed. Skipped in a normal test run.
TEST(SaveCrashChild, SaveForever) {
    const QByteArray dataDir = qgetenv(kChildEnv);
    if (dataDir.isEmpty())
        GTEST_SKIP() << "runs only as the child of the kill test";
    EnsureQtApp();
    TAppContext ctx(TAppPaths{QString::fromUtf8(dataDir), QString::fromUtf8(dataDir) + "Lang/"});
    ctx.SystemLanguage = "Eng";
    LoadAllSettings(ctx);
    for (int round = 0;; ++round) {
        for (const auto& p : ctx.Profiles())
            ctx.Saver().AddNewTask(TSaveSetType::stFullProfile, p->UID());
        ctx.Saver().AddNewTask(TSaveSetType::stCrone);
        ctx.Saver().AddNewTask(TSaveSetType::stListPos);
        ctx.Options.StayOnTop = round % 2;
        ctx.Saver().AddNewTask(TSaveSetType::stMain);
        ctx.Saver().RunSaveAndWait();
    }
}

TEST(SaveCrash, KillDuringAPassLeavesAFileThatLoadsCompletely) {
    EnsureQtApp();
    TestSandbox sandbox;
    const TSettingsFixture f = MakeSettingsFixture(300);
    sandbox.writeFile("data/Backup.ini", f.Bytes);
    const QString dataDir = sandbox.path() + "/data/";

    for (int attempt = 0; attempt < 6; ++attempt) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kChildEnv, dataDir);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=SaveCrashChild.SaveForever"});
        ASSERT_TRUE(child.waitForStarted());
        // Different moments of a pass: loading, applying, writing, renaming.
        QThread::msleep(150 + attempt * 97);
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        child.waitForFinished();

        TAppContext ctx(TAppPaths{dataDir, dataDir + "Lang/"});
        ctx.SystemLanguage = "Eng";
        LoadAllSettings(ctx);
        ASSERT_EQ(static_cast<int>(ctx.Profiles().size()), f.ProfileCount()) << "attempt " << attempt;
        ASSERT_EQ(ctx.Schedule().Entries().size(), static_cast<size_t>(f.ProfileCount()));
    }

    // The next pass clears what killed passes left behind.
    TAppContext ctx(TAppPaths{dataDir, dataDir + "Lang/"});
    ctx.SystemLanguage = "Eng";
    LoadAllSettings(ctx);
    ctx.Saver().AddNewTask(TSaveSetType::stMain);
    ctx.Saver().RunSaveAndWait();
    EXPECT_EQ(QDir(dataDir).entryList(QDir::Files), QStringList({"Backup.ini"}));
}

} // namespace
