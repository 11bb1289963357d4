#include "app/app_context.h"
#include "app/settings_loader.h"
#include "settings/save_settings.h"

#include "qt_app.h"
#include "test_env.h"

#include <QFile>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace {

// The first line where the two texts part, for a readable failure.
std::string FirstDifference(const QByteArray& written, const QByteArray& stored) {
    const QList<QByteArray> got = written.split('\n');
    const QList<QByteArray> want = stored.split('\n');
    for (qsizetype i = 0; i < std::max(got.size(), want.size()); ++i) {
        const QByteArray g = i < got.size() ? got[i] : QByteArray("<end>");
        const QByteArray w = i < want.size() ? want[i] : QByteArray("<end>");
        if (g != w)
            return "line " + std::to_string(i + 1) + ": written \"" + g.trimmed().toStdString() + "\", stored \"" +
                   w.trimmed().toStdString() + "\"";
    }
    return {};
}

// A file as the program lays it out (profiles of every kind with their
// exclusions, folder pairs, items, versions, subfolder states, scripts and
// schedule entries) is loaded and then saved whole: every section, key and
// value must come back as it was, byte for byte.
TEST(SettingsRoundTrip, AFileOfEveryKindIsWrittenBackUnchangedAfterALoadAndAFullSave) {
    EnsureQtApp();
    QFile fixture(QStringLiteral(NORVANE_TEST_DATA "/settings/every_kind.ini"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray stored = fixture.readAll();

    TestSandbox sandbox;
    sandbox.writeFile("data/Backup.ini", stored);
    TAppContext ctx(TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"});
    ctx.SystemLanguage = "Eng";
    LoadAllSettings(ctx);
    for (TBackupClass kind : {TBackupClass::bcSync, TBackupClass::bcZip, TBackupClass::bcFolderZip})
        EXPECT_TRUE(std::any_of(ctx.Profiles().begin(), ctx.Profiles().end(),
                                [kind](const auto& profile) { return profile->Kind() == kind; }));

    ctx.Saver().AddNewTask(TSaveSetType::stMain);
    ctx.Saver().AddNewTask(TSaveSetType::stListPos);
    for (const auto& profile : ctx.Profiles())
        ctx.Saver().AddNewTask(TSaveSetType::stFullProfile, profile->UID());
    ctx.Saver().AddNewTask(TSaveSetType::stCrone);
    ctx.Saver().RunSaveAndWait();

    const QByteArray written = sandbox.readFile("data/Backup.ini");
    EXPECT_TRUE(written == stored) << FirstDifference(written, stored);
}

} // namespace
