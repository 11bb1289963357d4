#pragma once

#include "gui/ui/dialog_settings.h"

#include "app/app_context.h"
#include "gui/notify/notifications.h"
#include "test_env.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QString>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A data folder in a sandbox, a context over it speaking English, and a
// notification manager whose popups the tests read.
tfm_Settings QuickCountdownDialogs();

class EditorFixture {
public:
    EditorFixture();
    ~EditorFixture();

    // A fresh context over the same data folder, loading Backup.ini as the program does.
    void Reload();
    // Writes the waiting save requests to Backup.ini.
    void Save();
    QString SettingsFile() const { return context->Paths().SettingsFile(); }
    // The last popup's text; empty when none was shown.
    QString LastNotification() const;
    int NotificationCount() const;

    TestSandbox box;
    // The questions' Yes unlocks after a few steps of 20 ms instead of seconds.
    tfm_Settings dialogs = QuickCountdownDialogs();
    TScopedDialogSettings useDialogs{dialogs};
    std::unique_ptr<TLumoNotificationSettings> notifications;
    std::unique_ptr<TAppContext> context;
};

// The output of `norvane-backup-cli --data-dir DIR export UID`.
QByteArray CliExport(const QString& dataFolder, const QString& uid);

// Once a modal dialog other than except opens, runs act on it (from the event
// loop, so that the code that opened it is waiting in its exec()).
void WhenModalOpens(std::function<void(QWidget*)> act, QWidget* except = nullptr);
// Presses the button with that text in the next modal dialog.
void PressInNextModal(const QString& text, QWidget* except = nullptr);

template <typename T>
T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Clicks a button where a person would: a check box or radio button on its
// box (its centre may lie past the end of its caption), others in the middle.
void ClickButton(QAbstractButton* button);

// Replaces the field's text as a person would: select all, type.
void TypeInto(QLineEdit* field, const QString& text);
