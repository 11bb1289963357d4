// The general settings page: the autorun entry written and removed, portable
// mode switched, the language switched live in the open windows, and the first
// start without a settings file.

#include "editor_test_support.h"

#include "gui/profiles/profile_commands.h"
#include "gui/profiles/profile_editor.h"
#include "lang/language.h"
#include "os/autorun.h"
#include "os/platform.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "util/autorun.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

bool Waiting(const TAppContext& context, TSaveSetType type) {
    const auto waiting = context.Saver().WaitingRequests();
    return std::find(waiting.begin(), waiting.end(), TSaveTask{type, QString()}) != waiting.end();
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(GeneralSettings, TheAutorunEntryIsWrittenAndRemoved) {
    EditorFixture f;
    const QString entry = QString::fromStdString(os::AutorunLocation(kAutorunName.toStdString()));
    ASSERT_TRUE(entry.startsWith(f.box.path())) << entry.toStdString();
    ASSERT_TRUE(entry.endsWith(QStringLiteral("/autostart/norvane-backup.desktop"))) << entry.toStdString();
    TfrmProfile window(*f.context);
    window.SetMainAppSettings();
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("General application settings"));
    EXPECT_FALSE(Child<QCheckBox>(&window, "chkAutorun")->isChecked());
    ClickButton(Child<QCheckBox>(&window, "chkAutorun"));
    QTest::mouseClick(Child<QPushButton>(&window, "btnApply"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    const QByteArray desktop = ReadAll(entry);
    const QByteArray exec = "Exec=\"" + QByteArray::fromStdString(os::ExecutablePath()) + "\" /AUTORUN";
    EXPECT_TRUE(desktop.contains(exec)) << desktop.toStdString();
    EXPECT_TRUE(Waiting(*f.context, TSaveSetType::stMain));

    window.SetMainAppSettings();
    window.show();
    EXPECT_TRUE(Child<QCheckBox>(&window, "chkAutorun")->isChecked());
    ClickButton(Child<QCheckBox>(&window, "chkAutorun"));
    QTest::mouseClick(Child<QPushButton>(&window, "btnApply"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(entry));
}

TEST(GeneralSettings, TheOptionsReachBackupIniAndTheHooksRun) {
    EditorFixture f;
    bool trayShown = true, priorityApplied = false, stayOnTop = false;
    TGeneralSettingsHooks hooks;
    hooks.ShowTrayIcon = [&](bool show) { trayShown = show; };
    hooks.ApplyTaskPriority = [&] { priorityApplied = true; };
    hooks.ApplyStayOnTop = [&](bool on) { stayOnTop = on; };
    TfrmProfile window(*f.context);
    window.SetMainAppSettings(hooks);
    window.show();
    for (const char* box : {"chkShowTray", "chkStayOnTop", "chkDelayedStart", "chkBeta"})
        ClickButton(Child<QCheckBox>(&window, box));
    QTest::mouseClick(Child<QPushButton>(&window, "btnApply"), Qt::LeftButton);
    EXPECT_FALSE(trayShown);
    EXPECT_TRUE(priorityApplied);
    EXPECT_TRUE(stayOnTop);
    f.Save();
    f.Reload();
    EXPECT_FALSE(f.context->Options.ShowTrayIcon);
    EXPECT_TRUE(f.context->Options.StayOnTop);
    EXPECT_FALSE(f.context->Options.DelayedStart);
    EXPECT_TRUE(f.context->Options.BetaVersion);
}

TEST(GeneralSettings, PortableModeOnCreatesTheMarkerAndKeepsThePageOpen) {
    EditorFixture f;
    const QString marker = f.box.file(QStringLiteral("program/Backup.portable"));
    QDir().mkpath(f.box.file(QStringLiteral("program")));
    TfrmProfile window(*f.context);
    window.SetMainAppSettings();
    window.show();
    ClickButton(Child<QCheckBox>(&window, "chkPortable"));
    QString said;
    WhenModalOpens(
        [&said](QWidget* modal) {
            for (QLabel* label : modal->findChildren<QLabel*>())
                said += label->text();
            modal->close();
        },
        &window);
    QTest::mouseClick(Child<QPushButton>(&window, "btnApply"), Qt::LeftButton);
    EXPECT_TRUE(said.contains(QStringLiteral("Need application restart to apply portable version settings.")))
        << said.toStdString();
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_TRUE(window.isVisible());
    // This run keeps its data folder until the restart.
    EXPECT_FALSE(f.context->Options.PortableMode);
    window.hide();
}

TEST(GeneralSettings, PortableModeOffDeletesTheMarker) {
    EditorFixture f;
    const QString marker = f.box.file(QStringLiteral("program/Backup.portable"));
    f.box.writeFile(QStringLiteral("program/Backup.portable"), QByteArray());
    f.context->Options.PortableMode = true;
    TfrmProfile window(*f.context);
    window.SetMainAppSettings();
    window.show();
    EXPECT_TRUE(Child<QCheckBox>(&window, "chkPortable")->isChecked());
    ClickButton(Child<QCheckBox>(&window, "chkPortable"));
    WhenModalOpens([](QWidget* modal) { modal->close(); }, &window);
    QTest::mouseClick(Child<QPushButton>(&window, "btnApply"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_FALSE(window.isVisible());
}

TEST(GeneralSettings, TheLanguageIsSwitchedLiveInTheOpenWindows) {
    EditorFixture f;
    TLumo_Sync& task = TLumo_Sync::Create(*f.context, QString());
    TSyncSettings s;
    s.nTitle = QStringLiteral("Docs");
    task.ApplyNewSettings(s, false);
    TfrmProfile open(*f.context);
    open.SetProfile(task.UID(), TBackupClass::bcNone);
    open.setModal(false);
    open.show();
    EXPECT_EQ(open.windowTitle(), QStringLiteral("Edit profile Docs"));
    const QString englishAutoMode = Child<QCheckBox>(&open, "chkSyncAutoMode")->text();

    TfrmProfile settings(*f.context);
    settings.SetMainAppSettings();
    settings.show();
    auto* languages = Child<QComboBox>(&settings, "cmbLanguage");
    ASSERT_GE(languages->count(), 2);
    EXPECT_EQ(languages->currentIndex(), 0);
    languages->setCurrentIndex(1);
    QTest::mouseClick(Child<QPushButton>(&settings, "btnApply"), Qt::LeftButton);

    EXPECT_EQ(f.context->Options.Language, QStringLiteral("Rus"));
    EXPECT_TRUE(f.context->Options.LanguageLocal);
    const QString russianTitle = LngText(Lng::lng_SetF_txtTitleEdit);
    EXPECT_NE(russianTitle, QStringLiteral("Edit profile %s"));
    EXPECT_EQ(open.windowTitle(), QString(russianTitle).replace(QStringLiteral("%s"), QStringLiteral("Docs")));
    EXPECT_NE(Child<QCheckBox>(&open, "chkSyncAutoMode")->text(), englishAutoMode);
    EXPECT_EQ(Child<QCheckBox>(&open, "chkSyncAutoMode")->text(), LngText(Lng::lng_SetF_chkAutoMode));
    open.hide();
}

TEST(GeneralSettings, ALanguageFileIsLoadedAndStoredByName) {
    EditorFixture f;
    const TLangVariableInfo& info = LangVariableInfo(Lng::lng_SetF_txtMainAppSettings);
    f.box.writeFile(QStringLiteral("program/Lang/Deutsch.ini"),
                    QByteArray("[") + info.section + "]\r\n" + info.key + "=Allgemeine Einstellungen\r\n");
    TfrmProfile window(*f.context);
    window.SetMainAppSettings();
    window.show();
    auto* languages = Child<QComboBox>(&window, "cmbLanguage");
    ASSERT_EQ(languages->count(), 3);
    EXPECT_EQ(languages->itemText(2), QStringLiteral("Deutsch"));
    languages->setCurrentIndex(2);
    QTest::mouseClick(Child<QPushButton>(&window, "btnApply"), Qt::LeftButton);
    EXPECT_EQ(f.context->Options.Language, QStringLiteral("Deutsch"));
    EXPECT_FALSE(f.context->Options.LanguageLocal);
    EXPECT_EQ(LngText(Lng::lng_SetF_txtMainAppSettings), QStringLiteral("Allgemeine Einstellungen"));
    f.Save();
    const QByteArray ini = ReadAll(f.SettingsFile());
    EXPECT_TRUE(ini.contains("Language=Deutsch")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("LanguageLocal=0")) << ini.toStdString();
}

TEST(GeneralSettings, TheFirstStartIsTheOneWithoutASettingsFile) {
    EditorFixture f;
    EXPECT_TRUE(IsFirstStart(*f.context));
    WhenModalOpens([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("General application settings"));
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("btnApply")), Qt::LeftButton);
    });
    EXPECT_TRUE(EditGeneralSettings(*f.context, nullptr));
    f.Save();
    EXPECT_FALSE(IsFirstStart(*f.context));
}
