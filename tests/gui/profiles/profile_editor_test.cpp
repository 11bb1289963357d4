// The profile editor as a person uses it: each kind created, saved, read back
// from Backup.ini and shown again with the same values; a running profile
// refused; the question on closing with unsaved changes; the element lists,
// the templates, the password and the drive fields.

#include "editor_test_support.h"

#include "profiles/task_queue.h"
#include "folderzip/folderzip_task.h"
#include "gui/profiles/profile_commands.h"
#include "gui/profiles/profile_editor.h"
#include "gui/util/bounded_spin_box.h"
#include "gui/util/pickers.h"
#include "gui/util/two_folder_dialog.h"
#include "lang/language.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "util/drives.h"
#include "zip/zip_task.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

void Click(QWidget* window, const char* name) { ClickButton(Child<QAbstractButton>(window, name)); }

void SetSpin(QWidget* window, const char* name, int value) {
    auto* spin = Child<TBoundedSpinBox>(window, name);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(value));
}

// Answers the two-folder dialog that the next click opens.
void AnswerTwoFolders(const QString& source, const QString& storage, QWidget* editor) {
    WhenModalOpens(
        [source, storage](QWidget* modal) {
            auto* dialog = qobject_cast<tFrmTwoFolderChoose*>(modal);
            ASSERT_NE(dialog, nullptr);
            TypeInto(dialog->SourceEdit(), source);
            TypeInto(dialog->StorageEdit(), storage);
            QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
        },
        editor);
}

QString Trigger(QWidget* window, const char* action) {
    QAction* a = window->findChild<QAction*>(QString::fromLatin1(action));
    EXPECT_NE(a, nullptr) << action;
    if (a)
        a->trigger();
    return {};
}

QStringList ListTexts(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Applies the window once more without changing anything and compares what
// the settings writer writes for the profile before and after.
void ExpectSameAfterReload(EditorFixture& f, const QString& uid) {
    const QString data = f.box.file(QStringLiteral("data"));
    const QByteArray first = CliExport(data, uid);
    ASSERT_FALSE(first.isEmpty());
    f.Reload();
    ASSERT_NE(f.context->FindProfileByUID(uid), nullptr);
    {
        TfrmProfile window(*f.context);
        ASSERT_TRUE(window.SetProfile(uid, TBackupClass::bcNone));
        window.show();
        Click(&window, "btnApply");
        EXPECT_EQ(f.NotificationCount(), 0) << f.LastNotification().toStdString();
        EXPECT_FALSE(window.isVisible());
    }
    f.Save();
    EXPECT_EQ(CliExport(data, uid), first);
}

} // namespace

TEST(ProfileEditor, ASyncProfileIsCreatedSavedAndShownAgainWithTheSameValues) {
    EditorFixture f;
    const QString src = f.box.file(QStringLiteral("docs/")), dst = f.box.file(QStringLiteral("copy/"));
    QDir().mkpath(src);
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcSync);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Add new profile - Sync"));
    EXPECT_EQ(Child<QPushButton>(&window, "btnApply")->text(), QStringLiteral("Add"));
    // The defaults of a new sync profile.
    EXPECT_TRUE(Child<QCheckBox>(&window, "chkSyncAutoMode")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(&window, "chkSkipHidden")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(&window, "chkSkipLarge")->isChecked());
    EXPECT_FALSE(Child<TBoundedSpinBox>(&window, "spnBigFileSize")->isEnabled());
    EXPECT_EQ(Child<TBoundedSpinBox>(&window, "spnBigFileSize")->value(), 2000);
    EXPECT_TRUE(Child<QRadioButton>(&window, "rbCompareTimeSize")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(&window, "rbSyncDelRecycle")->isChecked());
    EXPECT_EQ(Child<QPlainTextEdit>(&window, "memExclude")->toPlainText(),
              QStringLiteral("/System Volume Information/\n/$Recycle.Bin/\n/RECYCLER/\n/RECYCLED/"));
    EXPECT_EQ(Child<QLineEdit>(&window, "edtSyncDiskSource")->text(), QStringLiteral("Disabled"));

    TypeInto(Child<QLineEdit>(&window, "edtSyncTitle"), QStringLiteral("Documents"));
    Click(&window, "chkSyncAutoMode");
    Click(&window, "rbCompareSize");
    Click(&window, "rbSyncDelPermanent");
    Click(&window, "chkSkipHidden");
    Click(&window, "chkSkipLarge");
    SetSpin(&window, "spnBigFileSize", 512);
    window.findChild<QListWidget*>(QStringLiteral("lstItems"))->setCurrentRow(1);
    AnswerTwoFolders(src, dst, &window);
    Click(&window, "btnSyncAdd");
    EXPECT_EQ(ListTexts(Child<QListWidget>(&window, "lstSyncPairs")), QStringList{src + QLatin1Char('\n') + dst});
    window.findChild<QListWidget*>(QStringLiteral("lstItems"))->setCurrentRow(2);
    Child<QPlainTextEdit>(&window, "memExclude")->setPlainText(QStringLiteral("*.tmp\n/Cache/"));
    Click(&window, "btnApply");
    ASSERT_EQ(f.NotificationCount(), 0) << f.LastNotification().toStdString();
    EXPECT_FALSE(window.isVisible());

    const QString uid = window.CreatedUID();
    ASSERT_TRUE(uid.startsWith(QStringLiteral("SNK")));
    // A new profile posts its full sections and the list order.
    const auto waiting = f.context->Saver().WaitingRequests();
    EXPECT_NE(std::find(waiting.begin(), waiting.end(), TSaveTask{TSaveSetType::stFullProfile, uid}), waiting.end());
    EXPECT_NE(std::find(waiting.begin(), waiting.end(), TSaveTask{TSaveSetType::stListPos, QString()}), waiting.end());
    EXPECT_EQ(f.context->DisplayOrderUIDs().back(), uid);
    f.Save();

    f.Reload();
    TfrmProfile again(*f.context);
    ASSERT_TRUE(again.SetProfile(uid, TBackupClass::bcNone));
    again.show();
    EXPECT_EQ(again.windowTitle(), QStringLiteral("Edit profile Documents"));
    EXPECT_EQ(Child<QPushButton>(&again, "btnApply")->text(), QStringLiteral("Apply"));
    EXPECT_EQ(Child<QLineEdit>(&again, "edtSyncTitle")->text(), QStringLiteral("Documents"));
    EXPECT_FALSE(Child<QCheckBox>(&again, "chkSyncAutoMode")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(&again, "rbCompareSize")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(&again, "rbSyncDelPermanent")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(&again, "chkSkipHidden")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(&again, "chkSkipLarge")->isChecked());
    EXPECT_EQ(Child<TBoundedSpinBox>(&again, "spnBigFileSize")->value(), 512);
    EXPECT_EQ(ListTexts(Child<QListWidget>(&again, "lstSyncPairs")), QStringList{src + QLatin1Char('\n') + dst});
    EXPECT_EQ(Child<QPlainTextEdit>(&again, "memExclude")->toPlainText(), QStringLiteral("*.tmp\n/Cache/"));
    again.hide();
    ExpectSameAfterReload(f, uid);
}

TEST(ProfileEditor, AnArchiveBackupIsCreatedSavedAndShownAgainWithTheSameValues) {
    EditorFixture f;
    f.box.writeFile(QStringLiteral("src/a.txt"), "a");
    f.box.writeFile(QStringLiteral("src2/b.txt"), "b");
    f.box.writeFile(QStringLiteral("single.txt"), "c");
    const QString target = f.box.file(QStringLiteral("target/"));
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcZip);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Add new profile - Zip-archive"));
    EXPECT_EQ(Child<QLineEdit>(&window, "edtZipFilename")->text(), QStringLiteral("Filename.zip"));
    EXPECT_EQ(Child<TBoundedSpinBox>(&window, "spnZipCompression")->value(), 7);
    EXPECT_FALSE(Child<QCheckBox>(&window, "chkUseVersion")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(&window, "rbItemsCount")->isChecked());
    EXPECT_EQ(Child<TBoundedSpinBox>(&window, "spnVersions")->value(), 30);
    EXPECT_EQ(Child<TBoundedSpinBox>(&window, "spnZipSpan")->value(), 1900);
    EXPECT_TRUE(Child<QPlainTextEdit>(&window, "memExclude")->toPlainText().contains(QStringLiteral("thumbs.db")));

    TypeInto(Child<QLineEdit>(&window, "edtZipTitle"), QStringLiteral("Photos"));
    // The folder button takes the picked folder with its separator.
    {
        TScopedPickerAnswers answers([&](const TPickerRequest& r) {
            EXPECT_EQ(r.Kind, TPickerKind::Folder);
            return QStringList{f.box.file(QStringLiteral("target"))};
        });
        Child<QAction>(&window, "edtZipFolder_right")->trigger();
    }
    EXPECT_EQ(Child<QLineEdit>(&window, "edtZipFolder")->text(), target);
    auto* name = Child<QLineEdit>(&window, "edtZipFilename");
    TypeInto(name, QStringLiteral("photos_.zip"));
    name->setCursorPosition(7);
    Trigger(&window, "miFullDate");
    EXPECT_EQ(name->text(), QStringLiteral("photos_%Y-%M-%D.zip"));
    TypeInto(Child<QLineEdit>(&window, "edtZipPassword"), QStringLiteral("secret"));
    SetSpin(&window, "spnZipCompression", 9);
    Click(&window, "chkUseVersion");
    Click(&window, "rbItemsDays");
    SetSpin(&window, "spnVersions", 14);
    Click(&window, "chkZipSpan");
    SetSpin(&window, "spnZipSpan", 650);
    {
        TScopedPickerAnswers answers([&](const TPickerRequest& r) {
            if (r.Kind == TPickerKind::Folder)
                return QStringList{f.box.file(QStringLiteral("src"))};
            return QStringList{f.box.file(QStringLiteral("single.txt")), f.box.file(QStringLiteral("missing.txt"))};
        });
        Click(&window, "btnZipAddFiles");
        Click(&window, "btnZipAddFolder");
        Click(&window, "btnZipAddFolder"); // the same folder again adds nothing
    }
    EXPECT_EQ(ListTexts(Child<QListWidget>(&window, "lstZipElements")),
              (QStringList{f.box.file(QStringLiteral("src/")), f.box.file(QStringLiteral("single.txt"))}));
    Click(&window, "btnApply");
    ASSERT_EQ(f.NotificationCount(), 0) << f.LastNotification().toStdString();
    const QString uid = window.CreatedUID();
    ASSERT_TRUE(uid.startsWith(QStringLiteral("ZIP")));
    f.Save();

    f.Reload();
    const TZip_Settings stored = f.context->FindProfileByUID(uid)->Zip()->GetSettings();
    EXPECT_EQ(stored.nTitle, QStringLiteral("Photos"));
    EXPECT_EQ(stored.nFilename, QStringLiteral("photos_%Y-%M-%D.zip"));
    EXPECT_EQ(stored.nFolder, target);
    EXPECT_FALSE(stored.nPassword.isEmpty());
    EXPECT_NE(stored.nPassword, QStringLiteral("secret")); // kept scrambled
    TfrmProfile again(*f.context);
    again.SetProfile(uid, TBackupClass::bcNone);
    again.show();
    EXPECT_EQ(Child<QLineEdit>(&again, "edtZipTitle")->text(), QStringLiteral("Photos"));
    EXPECT_EQ(Child<QLineEdit>(&again, "edtZipFilename")->text(), QStringLiteral("photos_%Y-%M-%D.zip"));
    EXPECT_EQ(Child<QLineEdit>(&again, "edtZipFolder")->text(), target);
    EXPECT_EQ(Child<QLineEdit>(&again, "edtZipPassword")->text().size(), TfrmProfile::kPasswordPlaceholderLength);
    EXPECT_NE(Child<QLineEdit>(&again, "edtZipPassword")->text(), QStringLiteral("secret"));
    EXPECT_EQ(Child<TBoundedSpinBox>(&again, "spnZipCompression")->value(), 9);
    EXPECT_TRUE(Child<QCheckBox>(&again, "chkUseVersion")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(&again, "rbItemsDays")->isChecked());
    EXPECT_EQ(Child<TBoundedSpinBox>(&again, "spnVersions")->value(), 14);
    EXPECT_TRUE(Child<QCheckBox>(&again, "chkZipSpan")->isChecked());
    EXPECT_EQ(Child<TBoundedSpinBox>(&again, "spnZipSpan")->value(), 650);
    EXPECT_EQ(ListTexts(Child<QListWidget>(&again, "lstZipElements")),
              (QStringList{f.box.file(QStringLiteral("src/")), f.box.file(QStringLiteral("single.txt"))}));
    again.hide();
    // Applying without touching the password keeps the stored one.
    ExpectSameAfterReload(f, uid);
    EXPECT_EQ(f.context->FindProfileByUID(uid)->Zip()->GetSettings().nPassword, stored.nPassword);
}

TEST(ProfileEditor, AFolderArchivingJobIsCreatedSavedAndShownAgainWithTheSameValues) {
    EditorFixture f;
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcFolderZip);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Add new profile - Folder zip"));
    EXPECT_FALSE(Child<QRadioButton>(&window, "rbFzDelRecycle")->isEnabled());
    TypeInto(Child<QLineEdit>(&window, "edtFzTitle"), QStringLiteral("Projects"));
    TypeInto(Child<QLineEdit>(&window, "edtFzSource"), f.box.file(QStringLiteral("projects")));
    TypeInto(Child<QLineEdit>(&window, "edtFzStorage"), f.box.file(QStringLiteral("archives")));
    SetSpin(&window, "spnFzCompression", 3);
    Click(&window, "chkCleanFolder");
    EXPECT_TRUE(Child<QRadioButton>(&window, "rbFzDelRecycle")->isEnabled());
    Click(&window, "rbFzDelPermanent");
    Click(&window, "chkFzSpan");
    SetSpin(&window, "spnFzSpan", 100);
    Child<QPlainTextEdit>(&window, "memFolderExclude")->setPlainText(QStringLiteral("old\ntmp"));
    Click(&window, "btnApply");
    ASSERT_EQ(f.NotificationCount(), 0) << f.LastNotification().toStdString();
    const QString uid = window.CreatedUID();
    ASSERT_TRUE(uid.startsWith(QStringLiteral("FZP")));
    f.Save();

    f.Reload();
    TfrmProfile again(*f.context);
    again.SetProfile(uid, TBackupClass::bcNone);
    again.show();
    EXPECT_EQ(Child<QLineEdit>(&again, "edtFzTitle")->text(), QStringLiteral("Projects"));
    EXPECT_EQ(Child<QLineEdit>(&again, "edtFzSource")->text(), f.box.file(QStringLiteral("projects/")));
    EXPECT_EQ(Child<QLineEdit>(&again, "edtFzStorage")->text(), f.box.file(QStringLiteral("archives/")));
    EXPECT_EQ(Child<TBoundedSpinBox>(&again, "spnFzCompression")->value(), 3);
    EXPECT_TRUE(Child<QCheckBox>(&again, "chkCleanFolder")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(&again, "rbFzDelPermanent")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(&again, "chkFzSpan")->isChecked());
    EXPECT_EQ(Child<TBoundedSpinBox>(&again, "spnFzSpan")->value(), 100);
    EXPECT_EQ(Child<QPlainTextEdit>(&again, "memFolderExclude")->toPlainText(), QStringLiteral("old\ntmp"));
    EXPECT_EQ(Child<QLineEdit>(&again, "edtFzPassword")->text(), QString());
    again.hide();
    ExpectSameAfterReload(f, uid);
}

TEST(ProfileEditor, EditingAQueuedOrRunningProfileIsRefusedAndChangesNothing) {
    EditorFixture f;
    TLumo_Sync& task = TLumo_Sync::Create(*f.context, QString());
    TSyncSettings s;
    s.nTitle = QStringLiteral("Busy");
    s.nValueList = {f.box.file(QStringLiteral("a/")), f.box.file(QStringLiteral("b/"))};
    task.ApplyNewSettings(s, false);
    // A start routine that never starts a worker keeps the run under way.
    f.context->TaskQueue().SetEngineStart(TBackupClass::bcSync, [](TBackupTask&) {});
    task.Profile()->RunTask(false);
    ASSERT_TRUE(f.context->TaskQueue().IsBusy(*task.Profile()));

    TfrmProfile window(*f.context);
    window.SetProfile(task.UID(), TBackupClass::bcNone);
    window.show();
    TypeInto(Child<QLineEdit>(&window, "edtSyncTitle"), QStringLiteral("Renamed"));
    Click(&window, "btnApply");
    EXPECT_EQ(f.LastNotification(), QStringLiteral("The task is active now, making changes is impossible at the moment."));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(task.Title(), QStringLiteral("Busy"));
    EXPECT_TRUE(f.context->Saver().WaitingRequests().empty());
    window.SetHooks({});
    window.hide();
    f.context->TaskQueue().First()->Finished();
}

TEST(ProfileEditor, ClosingWithUnsavedChangesAsksAndCancelKeepsTheWindowOpen) {
    EditorFixture f;
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcFolderZip);
    window.show();
    // Nothing changed: no question.
    Click(&window, "btnClose");
    EXPECT_FALSE(window.isVisible());

    window.SetProfile(QString(), TBackupClass::bcFolderZip);
    window.show();
    TypeInto(Child<QLineEdit>(&window, "edtFzTitle"), QStringLiteral("Draft"));
    EXPECT_TRUE(window.Modified());
    QString asked;
    WhenModalOpens(
        [&asked](QWidget* modal) {
            for (QLabel* label : modal->findChildren<QLabel*>())
                asked += label->text();
            for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
                if (b->text().remove(QLatin1Char('&')) == QLatin1String("Cancel"))
                    QTest::mouseClick(b, Qt::LeftButton);
        },
        &window);
    Click(&window, "btnClose");
    EXPECT_TRUE(asked.contains(QStringLiteral("Changes have been made, save them?"))) << asked.toStdString();
    EXPECT_TRUE(window.isVisible());

    PressInNextModal(QStringLiteral("No"), &window);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(f.context->Profiles().empty());
}

TEST(ProfileEditor, YesOnTheCloseQuestionAppliesAndABadInputStillCloses) {
    EditorFixture f;
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcFolderZip);
    window.show();
    TypeInto(Child<QLineEdit>(&window, "edtFzTitle"), QStringLiteral("Good"));
    TypeInto(Child<QLineEdit>(&window, "edtFzSource"), f.box.file(QStringLiteral("s")));
    TypeInto(Child<QLineEdit>(&window, "edtFzStorage"), f.box.file(QStringLiteral("t")));
    PressInNextModal(QStringLiteral("Yes"), &window);
    Click(&window, "btnClose");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(f.context->Profiles().size(), 1u);

    window.SetProfile(QString(), TBackupClass::bcSync);
    window.show();
    TypeInto(Child<QLineEdit>(&window, "edtSyncTitle"), QStringLiteral("No pairs"));
    PressInNextModal(QStringLiteral("Yes"), &window);
    Click(&window, "btnClose");
    EXPECT_EQ(f.LastNotification(), QStringLiteral("Add items for sync."));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(f.context->Profiles().size(), 1u);
}

TEST(ProfileEditor, DroppedFilesAndFoldersKeepFoldersAheadOfFilesOnOneLevel) {
    EditorFixture f;
    for (const char* file : {"f1/x", "f2/x", "f3/x", "file1.txt", "file2.txt"})
        f.box.writeFile(QString::fromLatin1(file), "x");
    TLumo_Zip& task = TLumo_Zip::Create(*f.context, QString());
    TZip_Settings s;
    s.nTitle = QStringLiteral("Drop");
    s.nFilename = QStringLiteral("d.zip");
    s.nFolder = f.box.file(QStringLiteral("out/"));
    s.nValueList = {QStringLiteral("1"), f.box.file(QStringLiteral("f1/")), QStringLiteral("0"),
                    f.box.file(QStringLiteral("file1.txt"))};
    task.ApplyNewSettings(s, false);
    TfrmProfile window(*f.context);
    window.SetProfile(task.UID(), TBackupClass::bcNone);
    window.show();
    window.findChild<QListWidget*>(QStringLiteral("lstItems"))->setCurrentRow(1);
    auto* list = Child<QListWidget>(&window, "lstZipElements");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(f.box.file(QStringLiteral("f2"))), QUrl::fromLocalFile(f.box.file(QStringLiteral("file2.txt"))),
                  QUrl::fromLocalFile(f.box.file(QStringLiteral("f3"))), QUrl::fromLocalFile(f.box.file(QStringLiteral("file1.txt")))});
    const QPoint at = list->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &drop);

    EXPECT_EQ(ListTexts(list), (QStringList{f.box.file(QStringLiteral("f1/")), f.box.file(QStringLiteral("f2/")),
                                            f.box.file(QStringLiteral("f3/")), f.box.file(QStringLiteral("file1.txt")),
                                            f.box.file(QStringLiteral("file2.txt"))}));
    EXPECT_TRUE(window.Modified());
    window.SetHooks({});
    PressInNextModal(QStringLiteral("No"), &window);
    window.reject();
}

TEST(ProfileEditor, TheExcludeTemplateAddsItsMasksWithoutDuplicates) {
    EditorFixture f;
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcSync);
    window.show();
    window.findChild<QListWidget*>(QStringLiteral("lstItems"))->setCurrentRow(2);
    auto* masks = Child<QPlainTextEdit>(&window, "memExclude");
    masks->setPlainText(QStringLiteral("*.tmp\n\n*.BAK\n/RECYCLER/"));
    QTest::mouseClick(Child<QLabel>(&window, "lnkExcludeTemplate"), Qt::LeftButton);
    EXPECT_EQ(masks->toPlainText(), QStringLiteral("*.tmp\n*.BAK\n/RECYCLER/\n/System Volume Information/\n"
                                                   "/$Recycle.Bin/\n/RECYCLED/\n*.~*\n*.old\nthumbs.db"));
    PressInNextModal(QStringLiteral("No"), &window);
    window.reject();
}

TEST(ProfileEditor, TheFileNameMenuInsertsAtTheCaretOrAtTheEndAndPastes) {
    EditorFixture f;
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcZip);
    window.show();
    auto* name = Child<QLineEdit>(&window, "edtZipFilename");
    TypeInto(name, QStringLiteral("backup.zip"));
    name->setCursorPosition(0);
    Trigger(&window, "miYear");
    EXPECT_EQ(name->text(), QStringLiteral("backup.zip%Y")); // caret at the start: at the end
    name->setText(QStringLiteral("b_X.zip"));
    name->setSelection(2, 1);
    Trigger(&window, "miFullTime");
    EXPECT_EQ(name->text(), QStringLiteral("b_%H-%N-%S.zip"));
    QApplication::clipboard()->setText(QString(120, QLatin1Char('n')));
    Trigger(&window, "miPaste");
    EXPECT_EQ(name->text(), QString(90, QLatin1Char('n')));
    // The title's paste button cuts at 90 characters too.
    Child<QAction>(&window, "edtZipTitle_right")->trigger();
    EXPECT_EQ(Child<QLineEdit>(&window, "edtZipTitle")->text().size(), 90);
    PressInNextModal(QStringLiteral("No"), &window);
    window.reject();
}

TEST(ProfileEditor, EnterMovesToTheNextFieldAndFinallyToApply) {
    EditorFixture f;
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcFolderZip);
    window.show();
    QApplication::setActiveWindow(&window);
    auto* title = Child<QLineEdit>(&window, "edtFzTitle");
    title->setFocus();
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>(&window, "edtFzSource"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>(&window, "edtFzPassword"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Child<QPushButton>(&window, "btnApply"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(f.NotificationCount(), 0);
}

TEST(ProfileEditor, TheDiskFieldsTakeTheChosenVolumesIDAndTheLeftButtonClearsIt) {
    EditorFixture f;
    const QString id = QStringLiteral("1A2B:3C4D");
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcFolderZip);
    window.show();
    {
        TScopedPickerAnswers answers([id](const TPickerRequest& r) {
            EXPECT_EQ(r.Kind, TPickerKind::Volume);
            return QStringList{QStringLiteral("/media/usb"), id, QStringLiteral("USB")};
        });
        Child<QAction>(&window, "edtFzDiskStorage_right")->trigger();
    }
    EXPECT_EQ(Child<QLineEdit>(&window, "edtFzDiskStorage")->text(), QStringLiteral("Value is set - ") + id);
    TypeInto(Child<QLineEdit>(&window, "edtFzTitle"), QStringLiteral("Disk"));
    TypeInto(Child<QLineEdit>(&window, "edtFzSource"), f.box.file(QStringLiteral("s")));
    TypeInto(Child<QLineEdit>(&window, "edtFzStorage"), f.box.file(QStringLiteral("t")));
    Click(&window, "btnApply");
    ASSERT_FALSE(window.CreatedUID().isEmpty());
    EXPECT_EQ(f.context->FindProfileByUID(window.CreatedUID())->FolderZip()->GetSettings().nDiskStorageID, id);

    window.SetProfile(window.CreatedUID(), TBackupClass::bcNone);
    window.show();
    Child<QAction>(&window, "edtFzDiskStorage_left")->trigger();
    EXPECT_EQ(Child<QLineEdit>(&window, "edtFzDiskStorage")->text(), QStringLiteral("Disabled"));
    Click(&window, "btnApply");
    EXPECT_TRUE(f.context->Profiles().front()->FolderZip()->GetSettings().nDiskStorageID.isEmpty());
}

TEST(ProfileEditor, EntryPointsCreateAndEditThroughTheModalWindow) {
    EditorFixture f;
    WhenModalOpens([&f](QWidget* modal) {
        TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("edtFzTitle")), QStringLiteral("Entry"));
        TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("edtFzSource")), f.box.file(QStringLiteral("s")));
        TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("edtFzStorage")), f.box.file(QStringLiteral("t")));
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("btnApply")), Qt::LeftButton);
    });
    const QString uid = CreateProfile(*f.context, TBackupClass::bcFolderZip, nullptr);
    ASSERT_FALSE(uid.isEmpty());
    EXPECT_EQ(f.context->FindProfileByUID(uid)->Title(), QStringLiteral("Entry"));

    WhenModalOpens([](QWidget* modal) {
        TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("edtFzTitle")), QStringLiteral("Edited"));
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("btnApply")), Qt::LeftButton);
    });
    EXPECT_TRUE(EditProfile(*f.context, uid, nullptr));
    EXPECT_EQ(f.context->FindProfileByUID(uid)->Title(), QStringLiteral("Edited"));
    EXPECT_FALSE(EditProfile(*f.context, QStringLiteral("SNK000"), nullptr));
}
