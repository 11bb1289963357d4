#pragma once

// Drives a modal dialog as a person would: the steps run once the dialog is
// up, inside its own event loop.

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Runs act on the next modal dialog that opens (waits for it a little).
inline void WhenModalOpens(std::function<void(QDialog&)> act, int triesLeft = 200) {
    QTimer::singleShot(0, [act = std::move(act), triesLeft]() mutable {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (triesLeft > 0) {
                QTimer::singleShot(5, [act = std::move(act), triesLeft]() mutable {
                    WhenModalOpens(std::move(act), triesLeft - 1);
                });
                return;
            }
            ADD_FAILURE() << "no modal dialog opened";
            // Whatever did open must not wait for a person.
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* open = qobject_cast<QDialog*>(window); open && open->isVisible())
                    open->reject();
            }
            return;
        }
        act(*dialog);
        // A step that failed must not leave the dialog waiting for a person.
        if (::testing::Test::HasFatalFailure() && dialog->isVisible())
            dialog->reject();
    });
}

inline QPushButton* ButtonNamed(QDialog& dialog, const QString& name) {
    return dialog.findChild<QPushButton*>(name);
}

inline QPushButton* ButtonWithText(QDialog& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->isVisible() && button->text() == text)
            return button;
    }
    return nullptr;
}

inline void Click(QPushButton* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}
