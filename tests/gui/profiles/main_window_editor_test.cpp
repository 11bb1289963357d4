// The main window's profile commands open the profile editor once its hooks
// are installed, as the program does.

#include "editor_test_support.h"

#include "gui/app/editor_hooks.h"
#include "gui/app/main_window.h"
#include "gui/app/status_bar_links.h"
#include "gui/profiles/profile_editor.h"
#include "gui/ui/link_controls.h"

#include <QAction>
#include <QMenu>
#include <QTest>

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

// The status bar's "New profile" link, clicked as a person would, leads through
// its menu to the editor for the kind chosen there.
TEST(MainWindowEditor, TheNewProfileLinkOpensTheEditorForTheKindChosen) {
    EditorFixture f;
    TfrmMain window(*f.context, {});
    InstallEditorHooks(window, *f.context);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QString editorTitle;
    WhenModalOpens([&editorTitle](QWidget* modal) {
        if (qobject_cast<TfrmProfile*>(modal))
            editorTitle = modal->windowTitle();
        modal->close();
    });
    QTest::mouseClick(window.StatusLinks()->NewProfileLink()->pLabel, Qt::LeftButton);
    QMenu* menu = window.NewProfileMenu();
    ASSERT_TRUE(menu->isVisible());
    // "Sync", "Zip-archive": the second item.
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Down);
    ASSERT_EQ(menu->activeAction(), ActionNamed(window, "miNewZip"));
    QTest::keyClick(menu, Qt::Key_Return);

    EXPECT_TRUE(editorTitle.contains(ActionNamed(window, "miNewZip")->text().remove(QLatin1Char('&'))))
        << editorTitle.toStdString();
    EXPECT_EQ(f.NotificationCount(), 0); // no "not available yet" popup
}
