#pragma once

#include "app/app_context.h"
#include "gui/app/main_window.h"
#include "scripts/script_list.h"

#include "test_env.h"

#include <QPoint>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// A main window over a context of its own in a sandbox, speaking English.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // Profiles made in the context (in this order = load order); each returns its UID.
    QString AddSync(const QString& title, const QString& source = {}, const QString& storage = {},
                    const TLumo_ScriptList& before = {});
    QString AddZip(const QString& title);
    QString AddFolderZip(const QString& title);
    // A sync whose run waits in a long before-script pause until stopped.
    QString AddPausingSync(const QString& title);

    TfrmMain& OpenWindow(TMainWindowStart start = {});

    QPoint RowPoint(const QString& uid, int x, int yInRow = 40) const;
    void ClickRow(const QString& uid, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int x = 200);
    void ClickActionButton(const QString& uid);
    void DoubleClickRow(const QString& uid, int x = 200);
    // Sends the drag-and-drop of the selected rows to a point of the target row.
    void DropSelectionOn(const QString& target, int yInRow);

    void WaitUntilQueueEmpty();
    // Writes a save pass and reads "Positions" back from Backup.ini.
    QStringList SavedPositions();
    QString Status(const QString& uid) const;
    // Whether the pausing sync of this title got past its pause and copied.
    bool CopiedMarker(const QString& title) const;

    TestSandbox sandbox;
    std::unique_ptr<TAppContext> ctx;
    std::unique_ptr<TfrmMain> window;
};
