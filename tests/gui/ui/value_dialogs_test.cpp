// The value dialogs, filled in and confirmed as a person would, with the
// system pickers, the volumes and the clipboard replaced by the test.

#include "dialog_driver.h"

#include "gui/notify/notifications.h"
#include "gui/ui/dialog_frame.h"
#include "gui/ui/dialog_settings.h"
#include "gui/ui/standard_dialogs.h"
#include "gui/util/pickers.h"
#include "gui/util/window_helpers.h"
#include "lang/builtin_tables.h"
#include "lang/language.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ValueDialogs : public ::testing::Test {
protected:
    ValueDialogs() {
        SetBuiltinEnglishLibrary(fLanguage);
        fSettings.pClipboardText = [this] { return fClipboard; };
        fSettings.pPresentDrives = [this] { return fDrives; };
    }
    ~ValueDialogs() override {
        HideAllNotifies();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString MakeFile(const QString& name) {
        const QString path = fTemp.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }

    // The warnings shown so far, as "title: text".
    QStringList Warnings() const {
        QStringList shown;
        for (const TNotification* note : fPopups.NotificationList)
            shown << note->Title + QStringLiteral(": ") + note->Text;
        return shown;
    }

    static QLineEdit* Field(QDialog& dialog) { return dialog.findChild<QLineEdit*>(); }

    TLanguage fLanguage;
    TScopedCurrentLanguage fUseLanguage{fLanguage};
    tfm_Settings fSettings;
    TScopedDialogSettings fUseSettings{fSettings};
    TScopedWorkArea fArea{QRect(0, 0, 1920, 1040)};
    TLumoNotificationSettings fPopups;
    QTemporaryDir fTemp;
    QString fPickerStart;
    QStringList fPickerFilters;
    QString fPickerAnswer;
    // Every picker the dialogs open is answered here instead of by a person.
    TScopedPickerAnswers fPickers{[this](const TPickerRequest& request) {
        fPickerStart = request.StartPath;
        fPickerFilters = request.FilterLines;
        return fPickerAnswer.isEmpty() ? QStringList{} : QStringList{fPickerAnswer};
    }};
    QString fClipboard;
    QList<TDriveItem> fDrives;
};

} // namespace

TEST_F(ValueDialogs, FileDialogRefusesAMissingFileAndAcceptsAnExistingOne) {
    const QString existing = MakeFile(QStringLiteral("report.txt"));
    const QString missing = fTemp.filePath(QStringLiteral("gone.txt"));
    bool stayedOpen = false;
    WhenModalOpens([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose file"));
        EXPECT_EQ(dialog.size(), QSize(460, 160));
        EXPECT_EQ(dialog.findChild<QLabel*>()->text(), QStringLiteral("File:"));
        QLineEdit* field = Field(dialog);
        EXPECT_EQ(field->text(), missing);
        EXPECT_TRUE(field->isReadOnly());
        EXPECT_EQ(field->geometry().topLeft(), QPoint(16, 32));
        EXPECT_EQ(ButtonWithText(dialog, QStringLiteral("Apply"))->x(), 460 - 241);
        EXPECT_EQ(ButtonWithText(dialog, QStringLiteral("Cancel"))->x(), 460 - 126);
        Click(ButtonWithText(dialog, QStringLiteral("Apply")));
        stayedOpen = dialog.isVisible();
        EXPECT_EQ(Warnings(), QStringList{QStringLiteral("Warning: Invalid file path specified.")});
        // The field's button asks the picker, which starts at the field's text.
        fPickerAnswer = existing;
        EditFieldButton(field)->trigger();
        EXPECT_EQ(fPickerStart, missing);
        EXPECT_EQ(field->text(), existing);
        Click(ButtonWithText(dialog, QStringLiteral("Apply")));
    });
    const auto result = ChooseFileDialog(missing);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(result->FValueIsSet);
    EXPECT_EQ(result->FValueString, existing);
}

TEST_F(ValueDialogs, FileDialogOffersTheFiltersOfItsSet) {
    struct Case {
        std::function<std::unique_ptr<tfm_Result>()> open;
        QStringList filters;
    };
    const Case cases[] = {
        {[] { return ChooseFileDialog(QString()); }, {"All files|*.*"}},
        {[] { return ChooseFileDialogEx("Program", "Program:", QString(), {tFileDialog_Type::fd_Application}); },
         {"Application|*.exe; *.com"}},
        {[] {
             return ChooseFileDialogEx("Any", "Any:", QString(),
                                       {tFileDialog_Type::fd_AllFiles, tFileDialog_Type::fd_Application});
         },
         {"Application|*.exe; *.com", "All files|*.*"}},
        {[] { return ChooseFileDialogEx("Empty", "Empty:", QString(), TFileDialogTypes{}); }, {"All files|*.*"}},
        {[] { return ChooseFileDialogEx("Old", "Old:", QString(), true); }, {"Application|*.exe; *.com"}},
    };
    for (const Case& c : cases) {
        fPickerFilters.clear();
        WhenModalOpens([](QDialog& dialog) {
            EditFieldButton(Field(dialog))->trigger();
            Click(ButtonWithText(dialog, QStringLiteral("Cancel")));
        });
        const auto result = c.open();
        EXPECT_FALSE(result->FValueIsSet);
        EXPECT_EQ(fPickerFilters, c.filters);
    }
}

TEST_F(ValueDialogs, FileDialogExShowsItsOwnCaptionAndLabelAndAnEmptyPathIsRefused) {
    WhenModalOpens([this](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Program to start"));
        EXPECT_EQ(dialog.findChild<QLabel*>()->text(), QStringLiteral("Program:"));
        Click(ButtonWithText(dialog, QStringLiteral("Apply")));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Warnings().size(), 1);
        dialog.close();
    });
    const auto result = ChooseFileDialogEx(QStringLiteral("Program to start"), QStringLiteral("Program:"), QString(),
                                           {tFileDialog_Type::fd_Application});
    EXPECT_FALSE(result->FValueIsSet);
    EXPECT_TRUE(result->FValueString.isEmpty());
}

TEST_F(ValueDialogs, FolderDialogEndsTheFolderWithTheSeparatorAndRefusesAMissingOne) {
    const QString folder = fTemp.path(); // no trailing separator
    WhenModalOpens([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose folder"));
        EXPECT_EQ(dialog.findChild<QLabel*>()->text(), QStringLiteral("Folder:"));
        Click(ButtonWithText(dialog, QStringLiteral("Apply")));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Warnings(), QStringList{QStringLiteral("Warning: Invalid folder path specified.")});
        fPickerAnswer = folder;
        EditFieldButton(Field(dialog))->trigger();
        EXPECT_EQ(Field(dialog)->text(), folder + QLatin1Char('/'));
        Click(ButtonWithText(dialog, QStringLiteral("Apply")));
    });
    const auto result = ChooseFolderDialog(folder + QStringLiteral("/missing/"));
    ASSERT_TRUE(result->FValueIsSet);
    EXPECT_EQ(result->FValueString, folder + QLatin1Char('/'));

    // A folder typed in by the caller without separator comes back with one.
    WhenModalOpens([](QDialog& dialog) { Click(ButtonWithText(dialog, QStringLiteral("Apply"))); });
    EXPECT_EQ(ChooseFolderDialog(folder)->FValueString, folder + QLatin1Char('/'));
}

TEST_F(ValueDialogs, DriveDialogListsPresentDrivesAndPreselects) {
    fDrives = {{QStringLiteral("C:\\"), QStringLiteral("System")}, {QStringLiteral("E:\\"), QString()}};
    struct Case {
        std::function<std::unique_ptr<tfm_Result>()> open;
        int selected;
        QChar letter;
    };
    const Case cases[] = {
        {[] { return ChooseDriveDialog(QChar(0)); }, 0, 'C'},
        {[] { return ChooseDriveDialog(QChar('E')); }, 1, 'E'},
        {[] { return ChooseDriveDialog(QChar('e')); }, 1, 'E'},
        {[] { return ChooseDriveDialog(QChar('X')); }, 0, 'C'},
        {[] { return ChooseDriveRootDialog(QStringLiteral("E:\\")); }, 1, 'E'},
    };
    for (const Case& c : cases) {
        WhenModalOpens([&c](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose disk"));
            auto* list = dialog.findChild<QComboBox*>();
            ASSERT_NE(list, nullptr);
            ASSERT_EQ(list->count(), 2);
            EXPECT_EQ(list->itemText(0), QStringLiteral("C:\\ [System]"));
            EXPECT_EQ(list->itemText(1), QStringLiteral("E:\\ [No data]"));
            EXPECT_EQ(list->currentIndex(), c.selected);
            auto* label = dialog.findChild<QLabel*>();
            EXPECT_EQ(label->text(), QStringLiteral("Disk:"));
            EXPECT_EQ(list->x(), label->geometry().right() + 1 + 16);
            Click(ButtonWithText(dialog, QStringLiteral("Apply")));
        });
        const auto result = c.open();
        ASSERT_TRUE(result->FValueIsSet);
        EXPECT_EQ(result->FValueChar, c.letter);
        EXPECT_EQ(result->FValueString, QString(c.letter) + QStringLiteral(":\\"));
    }
}

TEST_F(ValueDialogs, DriveDialogWithoutDrivesClosesWithoutValue) {
    WhenModalOpens([](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QComboBox*>()->count(), 0);
        Click(ButtonWithText(dialog, QStringLiteral("Apply")));
    });
    const auto result = ChooseDriveDialog(QChar('C'));
    EXPECT_FALSE(result->FValueIsSet);
    EXPECT_TRUE(result->FValueChar.isNull());
}

TEST_F(ValueDialogs, NumberDialogBringsTypedValuesIntoTheLimits) {
    struct Case {
        QString typed;
        int result;
    };
    const Case cases[] = {{"500", 100}, {"42", 42}, {"", 5}, {"-7", 5}, {"2x0", 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        WhenModalOpens([&c](QDialog& dialog) {
            auto* field = dialog.findChild<QSpinBox*>();
            ASSERT_NE(field, nullptr);
            EXPECT_EQ(dialog.focusWidget(), field);
            EXPECT_EQ(field->width(), 120);
            auto* label = dialog.findChild<QLabel*>();
            EXPECT_EQ(label->text(), QStringLiteral("Minutes:"));
            EXPECT_EQ(field->x(), label->geometry().right() + 1 + 16);
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Delete);
            QTest::keyClicks(field, c.typed); // letters are refused as they are typed
            // Enter moves on to Apply, Apply confirms.
            QTest::keyClick(field, Qt::Key_Return);
            QPushButton* apply = ButtonWithText(dialog, QStringLiteral("Apply"));
            EXPECT_EQ(dialog.focusWidget(), apply);
            EXPECT_TRUE(dialog.isVisible());
            Click(apply);
        });
        const auto result = AskIntegerDialog(QStringLiteral("Pause"), QStringLiteral("Minutes:"), 20, 5, 100);
        ASSERT_TRUE(result->FValueIsSet);
        EXPECT_EQ(result->FValueInteger, c.result);
    }
}

TEST_F(ValueDialogs, NumberDialogEscapeGivesNoValue) {
    WhenModalOpens([](QDialog& dialog) { QTest::keyClick(dialog.findChild<QSpinBox*>(), Qt::Key_Escape); });
    const auto result = AskIntegerDialog(QStringLiteral("Pause"), QStringLiteral("Minutes:"), 20, 5, 100);
    EXPECT_FALSE(result->FValueIsSet);
    EXPECT_EQ(result->FValueInteger, -1);
}

TEST_F(ValueDialogs, TextDialogRefusesBlankTextAndKeepsTheBlanksAroundARealOne) {
    WhenModalOpens([](QDialog& dialog) {
        EXPECT_EQ(dialog.size(), QSize(420, 175));
        QLineEdit* field = Field(dialog);
        EXPECT_EQ(dialog.focusWidget(), field);
        EXPECT_EQ(field->geometry().topLeft(), QPoint(16, 38));
        EXPECT_EQ(field->width(), 376);
        QPushButton* apply = ButtonWithText(dialog, QStringLiteral("Apply"));
        EXPECT_EQ(apply->x(), 16);
        EXPECT_EQ(ButtonWithText(dialog, QStringLiteral("Cancel"))->x(), 16 + 115);
        field->clear();
        QTest::keyClicks(field, QStringLiteral("   "));
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(dialog.focusWidget(), field); // Enter does not move on from blanks
        Click(apply);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.focusWidget(), field);
        QTest::keyClicks(field, QStringLiteral("Home "));
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(dialog.focusWidget(), apply);
        Click(apply);
    });
    const auto result = AskTextDialog(QStringLiteral("Title"), QStringLiteral("Profile title:"),
                                      QStringLiteral("Old"), 50);
    ASSERT_TRUE(result->FValueIsSet);
    EXPECT_EQ(result->FValueString, QStringLiteral("   Home "));
}

TEST_F(ValueDialogs, TextDialogPastesTheClipboardCutToTheMaximumLength) {
    fClipboard = QStringLiteral("0123456789abcdef");
    WhenModalOpens([](QDialog& dialog) {
        QLineEdit* field = Field(dialog);
        EXPECT_EQ(field->maxLength(), 10);
        QTest::keyClicks(field, QStringLiteral("typed past the limit"));
        EXPECT_EQ(field->text().size(), 10);
        EditFieldButton(field)->trigger();
        EXPECT_EQ(field->text(), QStringLiteral("0123456789"));
        Click(ButtonWithText(dialog, QStringLiteral("Apply")));
    });
    const auto result = AskTextDialog(QStringLiteral("Password"), QStringLiteral("Password:"), QString(), 10);
    EXPECT_EQ(result->FValueString, QStringLiteral("0123456789"));

    WhenModalOpens([](QDialog& dialog) { QTest::keyClick(Field(dialog), Qt::Key_Escape); });
    EXPECT_FALSE(AskTextDialog(QStringLiteral("Password"), QStringLiteral("Password:"), QStringLiteral("x"), 10)
                     ->FValueIsSet);
}

TEST_F(ValueDialogs, RussianTextsComeFromTheLanguageTable) {
    TLanguage russian;
    SetBuiltinRussianLibrary(russian);
    TScopedCurrentLanguage useRussian(russian);
    WhenModalOpens([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Выбор папки"));
        EXPECT_EQ(dialog.findChild<QLabel*>()->text(), QStringLiteral("Папка:"));
        EXPECT_NE(ButtonWithText(dialog, QStringLiteral("Применить")), nullptr);
        Click(ButtonWithText(dialog, QStringLiteral("Отмена")));
    });
    EXPECT_FALSE(ChooseFolderDialog(QString())->FValueIsSet);
}

// Without hooks of its own, a dialog browses with the program's pickers, so the
// answers a test gives them reach the dialog's field.
TEST_F(ValueDialogs, DefaultHooksBrowseWithTheProgramsPickers) {
    tfm_Settings defaults;
    TScopedDialogSettings useDefaults{defaults};
    const QString file = MakeFile(QStringLiteral("notes.txt"));
    std::vector<TPickerRequest> asked;
    TScopedPickerAnswers answers([&](const TPickerRequest& request) {
        asked.push_back(request);
        return QStringList{request.Kind == TPickerKind::Folder ? fTemp.path() : file};
    });
    const auto browseAndApply = [](QDialog& dialog) {
        EditFieldButton(Field(dialog))->trigger();
        Click(ButtonWithText(dialog, QStringLiteral("Apply")));
    };

    WhenModalOpens(browseAndApply);
    const auto chosenFile = ChooseFileDialog(QString());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Kind, TPickerKind::OpenFile);
    EXPECT_EQ(asked[0].FilterLines, QStringList{QStringLiteral("All files|*.*")});
    ASSERT_TRUE(chosenFile->FValueIsSet);
    EXPECT_EQ(chosenFile->FValueString, file);

    WhenModalOpens(browseAndApply);
    const auto chosenFolder = ChooseFolderDialog(QString());
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].Kind, TPickerKind::Folder);
    ASSERT_TRUE(chosenFolder->FValueIsSet);
    EXPECT_EQ(chosenFolder->FValueString, fTemp.path() + QLatin1Char('/'));
}
