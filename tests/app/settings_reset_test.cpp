// Reset of all settings deletes the settings file, the downloaded installers,
// the portable marker and the start-up entry, and nothing else.

#include "app/settings_reset.h"
#include "os/autorun.h"
#include "util/autorun.h"

#include "test_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

TAppPaths SandboxPaths(const TestSandbox& box) {
    TAppPaths paths;
    paths.DataFolder = box.file(QStringLiteral("data/"));
    paths.ProgramFolder = box.file(QStringLiteral("program/"));
    paths.LangFolder = paths.ProgramFolder + QStringLiteral("Lang/");
    return paths;
}

const char* const kOwnFiles[] = {"data/Backup.ini", "program/Update/Setup.exe", "program/Update/Setup_Beta.exe",
                                 "program/Backup.portable"};
// Files that share the folders and must survive.
const char* const kOtherFiles[] = {"data/Backup.ini.bak", "data/notes.txt", "program/Lang/German.ini",
                                   "program/Update/readme.txt", "program/norvane-backup"};

} // namespace

TEST(SettingsReset, DeletesExactlyTheSettingsFilesAndTheAutorunEntry) {
    TestSandbox box;
    const TAppPaths paths = SandboxPaths(box);
    for (const char* file : kOwnFiles)
        box.writeFile(QString::fromUtf8(file), QByteArrayLiteral("x"));
    for (const char* file : kOtherFiles)
        box.writeFile(QString::fromUtf8(file), QByteArrayLiteral("keep"));
    ASSERT_TRUE(SetAutorun(kAutorunName, kAutorunArgument, false));
    const QString desktopFile = QString::fromStdString(os::AutorunLocation(kAutorunName.toStdString()));
    ASSERT_TRUE(QFile::exists(desktopFile));

    const TResetResult result = ResetAllSettings(paths);
    EXPECT_TRUE(result.Ok) << result.Failures.join(QLatin1Char('\n')).toStdString();
    for (const char* file : kOwnFiles)
        EXPECT_FALSE(QFile::exists(box.file(QString::fromUtf8(file)))) << file;
    for (const char* file : kOtherFiles)
        EXPECT_EQ(box.readFile(QString::fromUtf8(file)), QByteArrayLiteral("keep")) << file;
    EXPECT_FALSE(QFile::exists(desktopFile));
    EXPECT_FALSE(IsAutorunSet(kAutorunName, kAutorunArgument));
}

TEST(SettingsReset, NothingToDeleteIsASuccess) {
    TestSandbox box;
    EXPECT_TRUE(ResetAllSettings(SandboxPaths(box)).Ok);
}

TEST(SettingsReset, AFileThatCannotBeDeletedIsReportedAndTheAutorunEntryStays) {
    TestSandbox box;
    const TAppPaths paths = SandboxPaths(box);
    box.writeFile(QStringLiteral("data/Backup.ini"), QByteArrayLiteral("x"));
    // A non-empty folder where the installer should be: no file removal deletes it.
    box.writeFile(QStringLiteral("program/Update/Setup.exe/inner"), QByteArrayLiteral("x"));
    ASSERT_TRUE(SetAutorun(kAutorunName, kAutorunArgument, false));

    const TResetResult result = ResetAllSettings(paths);
    EXPECT_FALSE(result.Ok);
    ASSERT_EQ(result.Failures.size(), 1);
    EXPECT_TRUE(result.Failures.front().contains(QStringLiteral("Setup.exe"))) << result.Failures.front().toStdString();
    EXPECT_FALSE(QFile::exists(box.file(QStringLiteral("data/Backup.ini"))));
    EXPECT_TRUE(IsAutorunSet(kAutorunName, kAutorunArgument));
}
