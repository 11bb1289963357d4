// The main window's commands on the settings as a whole, as a person meets
// them: the archive written, a foreign archive refused with the settings file
// untouched and saving going on, an accepted one restarting the program, and a
// reset that removes the settings and the autorun entry.

#include "editor_test_support.h"

#include "gui/settings/settings_commands.h"
#include "gui/util/pickers.h"
#include "settings/save_settings.h"
#include "settings/settings_archive.h"
#include "util/autorun.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(SettingsCommands, BackupThenRestoreGivesBackTheFileAndRestarts) {
    EditorFixture f;
    f.context->Options.StayOnTop = true;
    f.context->Saver().AddNewTask(TSaveSetType::stMain);
    f.Save();
    const QByteArray first = ReadAll(f.SettingsFile());
    ASSERT_FALSE(first.isEmpty());
    const QString archive = f.box.file(QStringLiteral("backups/settings.zip"));
    {
        TScopedPickerAnswers answers([&](const TPickerRequest& r) {
            EXPECT_EQ(r.Kind, TPickerKind::SaveFile);
            EXPECT_EQ(r.FilterLines, QStringList{QStringLiteral("Zip archives|*.zip")});
            return QStringList{archive};
        });
        SettingsBackup(*f.context, nullptr);
    }
    EXPECT_EQ(f.LastNotification(), QStringLiteral("Archiving successfully completed."));
    ASSERT_TRUE(QFile::exists(archive));

    f.context->Options.StayOnTop = false;
    f.context->Saver().AddNewTask(TSaveSetType::stMain);
    f.Save();
    ASSERT_NE(ReadAll(f.SettingsFile()), first);

    bool restarted = false;
    TScopedPickerAnswers answers([&](const TPickerRequest&) { return QStringList{archive}; });
    // The question first, then the message after it: the closer must not take the question.
    WhenModalOpens([](QWidget* question) {
        PressInNextModal(QStringLiteral("Yes"));
        WhenModalOpens([](QWidget* message) { message->close(); }, question);
    });
    EXPECT_TRUE(SettingsRestore(*f.context, nullptr, [&] { restarted = true; }));
    EXPECT_TRUE(restarted);
    EXPECT_EQ(ReadAll(f.SettingsFile()), first);
    // The closing instance must not write over the restored file.
    EXPECT_TRUE(f.context->SettingsLocked);
}

TEST(SettingsCommands, AForeignArchiveIsRefusedAndSavingGoesOn) {
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    EditorFixture f;
    f.context->Saver().AddNewTask(TSaveSetType::stMain);
    f.Save();
    const QByteArray first = ReadAll(f.SettingsFile());
    const QString archive = f.box.file(QStringLiteral("two.zip"));
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys,zipfile\nwith zipfile.ZipFile(sys.argv[1],'w') as z:\n"
                                 " z.writestr('Backup.ini','[Main]')\n z.writestr('x.txt','x')"),
                  archive});
    ASSERT_TRUE(python.waitForFinished(30000));

    bool restarted = false;
    TScopedPickerAnswers answers([&](const TPickerRequest&) { return QStringList{archive}; });
    PressInNextModal(QStringLiteral("Yes"));
    EXPECT_FALSE(SettingsRestore(*f.context, nullptr, [&] { restarted = true; }));
    EXPECT_FALSE(restarted);
    EXPECT_EQ(f.LastNotification(), QStringLiteral("Error in archive file structure."));
    EXPECT_EQ(ReadAll(f.SettingsFile()), first);
    EXPECT_FALSE(f.context->SettingsLocked);
    f.context->Options.StayOnTop = true;
    f.context->Saver().AddNewTask(TSaveSetType::stMain);
    f.Save();
    EXPECT_NE(ReadAll(f.SettingsFile()), first);
}

TEST(SettingsCommands, ResetRemovesTheSettingsAndTheAutorunEntryAndRestarts) {
    EditorFixture f;
    f.context->Saver().AddNewTask(TSaveSetType::stMain);
    f.Save();
    ASSERT_TRUE(QFile::exists(f.SettingsFile()));
    ASSERT_TRUE(SetAutorun(kAutorunName, kAutorunArgument, false));
    bool restarted = false;
    PressInNextModal(QStringLiteral("No"));
    EXPECT_FALSE(ResetAllSettingsCommand(*f.context, nullptr, [&] { restarted = true; }));
    EXPECT_TRUE(QFile::exists(f.SettingsFile()));

    PressInNextModal(QStringLiteral("Yes"));
    EXPECT_TRUE(ResetAllSettingsCommand(*f.context, nullptr, [&] { restarted = true; }));
    EXPECT_TRUE(restarted);
    EXPECT_FALSE(QFile::exists(f.SettingsFile()));
    EXPECT_FALSE(IsAutorunSet(kAutorunName, kAutorunArgument));
    EXPECT_TRUE(f.context->SettingsLocked);
    // Nothing is written while the program closes.
    f.context->Saver().AddNewTask(TSaveSetType::stMain);
    f.Save();
    EXPECT_FALSE(QFile::exists(f.SettingsFile()));
}
