// The questions answer with the modal result of the button a person presses.

#include "gui/ui/standard_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Presses the button with the given text in the first modal dialog that opens.
void PressWhenShown(const QString& text) {
    QTimer::singleShot(0, [text] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
            if (button->text().remove(QLatin1Char('&')) == text) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        modal->close();
    });
}

} // namespace

TEST(StandardDialogs, MessageQuestionGivesThePressedButton) {
    PressWhenShown(QStringLiteral("No"));
    EXPECT_EQ(MessageQuestion(QStringLiteral("Title"), QStringLiteral("Text"), mqYesNoCancel), mrNo);
    PressWhenShown(QStringLiteral("Cancel"));
    EXPECT_EQ(MessageQuestion(QStringLiteral("Title"), QStringLiteral("Text"), mqYesNoCancel), mrCancel);
}
