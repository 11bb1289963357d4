// The message box and the Yes/No question with its countdown, driven with the
// mouse and the keyboard.

#include "dialog_driver.h"

#include "gui/ui/dialog_frame.h"
#include "gui/ui/dialog_settings.h"
#include "gui/ui/message_box.h"
#include "gui/ui/standard_dialogs.h"
#include "gui/util/window_helpers.h"
#include "lang/builtin_tables.h"
#include "lang/language.h"

#include <QFrame>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

class MessageBoxes : public ::testing::Test {
protected:
    MessageBoxes() { SetBuiltinEnglishLibrary(fLanguage); }

    TLanguage fLanguage;
    TScopedCurrentLanguage fUseLanguage{fLanguage};
    tfm_Settings fSettings;
    TScopedDialogSettings fUseSettings{fSettings};
    TScopedWorkArea fArea{QRect(0, 0, 1920, 1040)};
};

QList<int> VisibleButtonLefts(QDialog& dialog) {
    QList<int> lefts;
    for (const char* name : {"Button1", "Button2", "Button3"}) {
        QPushButton* button = ButtonNamed(dialog, QString::fromLatin1(name));
        if (button && button->isVisible())
            lefts << button->x();
    }
    return lefts;
}

} // namespace

TEST_F(MessageBoxes, FrameIsFixedCentredAndHasTheColouredBand) {
    WhenModalOpens([this](QDialog& dialog) {
        EXPECT_EQ(dialog.size(), QSize(420, 150));
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
        EXPECT_EQ(dialog.pos(), QPoint((1920 - 420) / 2, (1040 - 150) / 2));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Saved"));
        auto* band = dialog.findChild<QFrame*>(QStringLiteral("PanelBig"));
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(band->geometry(), QRect(0, 150 - 48, 420, 48));
        EXPECT_EQ(band->palette().color(QPalette::Window), fSettings.cl_Dialog_Bg);
        auto* line = band->findChild<QFrame*>(QStringLiteral("PanelLine"));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->geometry(), QRect(0, 0, 420, 1));
        EXPECT_EQ(line->palette().color(QPalette::Window), QColor(55, 66, 72));
        QPushButton* ok = ButtonWithText(dialog, QStringLiteral("OK"));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->parentWidget(), band);
        EXPECT_EQ(ok->geometry(), QRect(26, 12, 100, 25));
        EXPECT_EQ(VisibleButtonLefts(dialog).size(), 1);
        EXPECT_EQ(dialog.focusWidget(), ok);
        auto* text = dialog.findChild<QLabel*>();
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(), QStringLiteral("The profile was saved."));
        EXPECT_EQ(text->pos(), QPoint(16, 16));
        Click(ok);
    });
    EXPECT_EQ(MessageQuestion(QStringLiteral("Saved"), QStringLiteral("The profile was saved."), mqOk), mrOk);
}

TEST_F(MessageBoxes, EachKindHasItsButtonsInOrderAndGivesTheirResults) {
    struct Case {
        int kind;
        QStringList captions; // left to right
        QString press;
        int result;
    };
    const Case cases[] = {
        {mqOk, {"OK"}, "OK", mrOk},
        {mqYesNoCancel, {"Cancel", "No", "Yes"}, "Yes", mrYes},
        {mqYesNoCancel, {"Cancel", "No", "Yes"}, "No", mrNo},
        {mqYesNoCancel, {"Cancel", "No", "Yes"}, "Cancel", mrCancel},
        {mqYesNo, {"No", "Yes"}, "Yes", mrYes},
        {mqYesNo, {"No", "Yes"}, "No", mrNo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        WhenModalOpens([&c](QDialog& dialog) {
            QStringList captions;
            for (const char* name : {"Button1", "Button2", "Button3"}) {
                QPushButton* button = ButtonNamed(dialog, QString::fromLatin1(name));
                if (button->isVisible())
                    captions << button->text();
            }
            EXPECT_EQ(captions, c.captions);
            QList<int> expectedLefts;
            for (int i = 0; i < c.captions.size(); ++i)
                expectedLefts << 26 + i * 115;
            EXPECT_EQ(VisibleButtonLefts(dialog), expectedLefts);
            Click(ButtonWithText(dialog, c.press));
        });
        EXPECT_EQ(MessageQuestion(QStringLiteral("Question"), QStringLiteral("Save the changes?"), c.kind), c.result);
    }
}

TEST_F(MessageBoxes, CloseBoxAndEscapeGiveCancel) {
    WhenModalOpens([](QDialog& dialog) { dialog.close(); });
    EXPECT_EQ(MessageQuestion(QStringLiteral("Question"), QStringLiteral("Save?"), mqYesNoCancel), mrCancel);
    WhenModalOpens([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(MessageQuestion(QStringLiteral("Question"), QStringLiteral("Save?"), mqYesNo), mrCancel);
}

TEST_F(MessageBoxes, RightAlignedButtonsWhenTheSettingsSaySo) {
    fSettings.st_LeftSide_Buttons = false;
    WhenModalOpens([](QDialog& dialog) {
        EXPECT_EQ(VisibleButtonLefts(dialog), (QList<int>{420 - 356, 420 - 241, 420 - 126}));
        dialog.close();
    });
    MessageQuestion(QStringLiteral("Question"), QStringLiteral("Save?"), mqYesNoCancel);
}

TEST_F(MessageBoxes, ALongTextScrollsInsideTheBoxThatKeepsItsSize) {
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("Every file of the storage folder that the source no longer has is deleted. ");
    WhenModalOpens([](QDialog& dialog) {
        EXPECT_EQ(dialog.size(), QSize(420, 150));
        auto* label = dialog.findChild<QLabel*>();
        ASSERT_NE(label, nullptr);
        // The whole text is there, below the visible part.
        EXPECT_GT(label->height(), 150);
        Click(ButtonWithText(dialog, QStringLiteral("OK")));
    });
    EXPECT_EQ(MessageQuestion(QStringLiteral("Long"), text, mqOk), mrOk);
}

TEST_F(MessageBoxes, YesCountsDownFromFiveAndThenUnlocks) {
    fSettings.pCountdownTickMs = 20; // the same steps, a fiftieth of the time
    QStringList seen;
    bool lockedWhileCounting = true;
    bool noHadFocus = false;
    bool earlyYesIgnored = false;
    WhenModalOpens([&](QDialog& dialog) {
        QPushButton* no = ButtonNamed(dialog, QStringLiteral("Button1"));
        QPushButton* yes = ButtonNamed(dialog, QStringLiteral("Button2"));
        ASSERT_NE(no, nullptr);
        ASSERT_NE(yes, nullptr);
        noHadFocus = dialog.focusWidget() == no && no->isEnabled();
        QTest::mouseClick(yes, Qt::LeftButton);
        earlyYesIgnored = dialog.isVisible();
        // Watch every step of the caption until the button is usable.
        auto* watch = new QTimer(&dialog);
        watch->setInterval(0);
        QObject::connect(watch, &QTimer::timeout, &dialog, [&, yes, watch] {
            if (seen.isEmpty() || seen.last() != yes->text())
                seen << yes->text();
            if (yes->text() != QStringLiteral("Yes") && yes->isEnabled())
                lockedWhileCounting = false;
            if (yes->isEnabled()) {
                watch->stop();
                QTest::mouseClick(yes, Qt::LeftButton);
            }
        });
        seen << yes->text();
        watch->start();
    });
    EXPECT_EQ(YesNoQuestion(QStringLiteral("Delete"), QStringLiteral("Delete the selected profiles?")), mrYes);
    EXPECT_TRUE(noHadFocus);
    EXPECT_TRUE(earlyYesIgnored);
    EXPECT_TRUE(lockedWhileCounting);
    EXPECT_EQ(seen, (QStringList{"Yes (5)", "Yes (4)", "Yes (3)", "Yes (2)", "Yes (1)", "Yes"}));
}

TEST_F(MessageBoxes, NoAnswersAtOnceAndTheCountdownTicksEverySecond) {
    WhenModalOpens([](QDialog& dialog) {
        QPushButton* yes = ButtonNamed(dialog, QStringLiteral("Button2"));
        EXPECT_FALSE(yes->isEnabled());
        EXPECT_EQ(yes->text(), QStringLiteral("Yes (5)"));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Space); // No has the focus
    });
    EXPECT_EQ(YesNoQuestion(QStringLiteral("Reset"), QStringLiteral("Reset all settings?")), mrNo);

    tfm_MessageBox box;
    box.SetButton(2, mrYes, QStringLiteral("Yes"));
    box.SetButtonsVisible(2);
    box.SetDownButton();
    EXPECT_EQ(box.FTimer.interval(), 1000);
    EXPECT_TRUE(box.FTimer.isActive());
    EXPECT_EQ(box.FTimerButtonText, QStringLiteral("Yes"));
}

TEST_F(MessageBoxes, RussianCaptionsCountDownToo) {
    TLanguage russian;
    SetBuiltinRussianLibrary(russian);
    TScopedCurrentLanguage useRussian(russian);
    WhenModalOpens([](QDialog& dialog) {
        EXPECT_EQ(ButtonNamed(dialog, QStringLiteral("Button1"))->text(), QStringLiteral("Нет"));
        EXPECT_EQ(ButtonNamed(dialog, QStringLiteral("Button2"))->text(), QStringLiteral("Да (5)"));
        dialog.close();
    });
    EXPECT_EQ(YesNoQuestion(QStringLiteral("Удаление"), QStringLiteral("Удалить?")), mrCancel);
}
