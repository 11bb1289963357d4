#include "ini/ini_document.h"
#include "settings/save_settings.h"

#include "qt_app.h"
#include "test_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// The store on its own, without an application context: what it writes and
// when it may start come only from the hooks it was given.
class SaveHooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        QDir().mkpath(dataFolder);
    }

    TSaveHooks Hooks() {
        TSaveHooks hooks;
        hooks.PassAllowed = [this] { return allowed; };
        hooks.ApplyRequest = [this](IniDocument& ini, const TSaveTask& task) {
            applied.push_back(task);
            ini.SetValue(QStringLiteral("Applied"), QString::number(applied.size()), task.fUID);
        };
        return hooks;
    }
    IniDocument Written() const {
        QFile file(settingsFile);
        return file.open(QIODevice::ReadOnly) ? IniDocument::FromBytes(file.readAll()) : IniDocument();
    }

    TestSandbox sandbox;
    const QString dataFolder = sandbox.path() + "/data/";
    const QString settingsFile = dataFolder + "Backup.ini";
    bool allowed = true;
    std::vector<TSaveTask> applied;
};

TEST_F(SaveHooksTest, APassAppliesEachRequestThroughTheHookInOrderAndWritesTheFile) {
    TSaveSettings store(dataFolder, settingsFile, Hooks());
    store.AddNewTask(TSaveSetType::stProfile, "SNK1");
    store.AddNewTask(TSaveSetType::stExclude, "SNK2");
    store.RunSaveAndWait();

    const std::vector<TSaveTask> expected = {{TSaveSetType::stProfile, "SNK1"}, {TSaveSetType::stExclude, "SNK2"}};
    EXPECT_EQ(applied, expected);
    const IniDocument ini = Written();
    EXPECT_EQ(ini.Value("Applied", "1"), QStringLiteral("SNK1"));
    EXPECT_EQ(ini.Value("Applied", "2"), QStringLiteral("SNK2"));
    EXPECT_TRUE(store.WaitingRequests().empty());
}

TEST_F(SaveHooksTest, NoPassStartsWhileTheHookRefusesAndTheRequestsWait) {
    TSaveSettings store(dataFolder, settingsFile, Hooks());
    store.AddNewTask(TSaveSetType::stMain);
    allowed = false;
    store.RunSaveAndWait();
    EXPECT_TRUE(applied.empty());
    EXPECT_FALSE(QFile::exists(settingsFile));
    EXPECT_EQ(store.WaitingRequests().size(), 1u);

    allowed = true;
    store.RunSaveAndWait();
    EXPECT_EQ(applied.size(), 1u);
    EXPECT_TRUE(QFile::exists(settingsFile));
}

} // namespace
