// The main window's profile commands open the profile editor once its hooks
// are installed, as the program does.

#include "editor_test_support.h"

#include "gui/app/editor_hooks.h"
#include "gui/app/main_window.h"
#include "gui/profiles/profile_editor.h"

#include <QAction>

#include <gtest/gtest.h>

namespace {

QAction* ActionNamed(TfrmMain& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

} // namespace

TEST(MainWindowEditor, NewSyncOpensTheEditorAndACancelAddsNothing) {
    EditorFixture f;
    TfrmMain window(*f.context, {});
    InstallEditorHooks(window, *f.context);
    const QStringList before = window.ProfileUIDs();

    bool sawEditor = false;
    WhenModalOpens([&sawEditor](QWidget* modal) {
        sawEditor = qobject_cast<TfrmProfile*>(modal) != nullptr;
        modal->close();
    });
    QAction* newSync = ActionNamed(window, "miNewSync");
    ASSERT_NE(newSync, nullptr);
    newSync->trigger();

    EXPECT_TRUE(sawEditor);
    EXPECT_EQ(window.ProfileUIDs(), before);
    EXPECT_EQ(f.NotificationCount(), 0); // no "not available yet" popup
}
