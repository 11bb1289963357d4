#include "main_window_fixture.h"

#include "app/settings_loader.h"
#include "profiles/task_queue.h"
#include "app/window_commands.h"
#include "gui/app/main_window_factory.h"
#include "gui/app/profile_list_model.h"
#include "gui/app/profile_list_view.h"
#include "gui/app/profile_row_delegate.h"
#include "gui/app/status_bar_links.h"
#include "gui/app/tray_icon.h"
#include "gui/images/program_images.h"
#include "gui/notify/notifications.h"
#include "gui/ui/link_controls.h"
#include "ini/ini_document.h"
#include "lang/builtin_tables.h"
#include "lang/language.h"
#include "profiles/backup_profile.h"
#include "settings/global_options.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "util/main_thread.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>

namespace {

QAction* Item(QMenu* menu, const char* name) {
    for (QAction* action : menu->actions())
        if (action->objectName() == QLatin1String(name))
            return action;
    return nullptr;
}

QStringList ItemNames(QMenu* menu) {
    QStringList names;
    for (QAction* action : menu->actions())
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return names;
}

// Which row-menu items are enabled, as "name" entries in menu order.
QStringList EnabledItems(QMenu* menu) {
    QStringList names;
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && action->isEnabled())
            names << action->objectName();
    return names;
}

TEST_F(MainWindowTest, RowsComeInTheStoredOrderThenTheRestInLoadOrder) {
    const QString a = AddSync("A");
    const QString b = AddZip("B");
    const QString c = AddFolderZip("C");
    const QString d = AddSync("D");
    ctx->Saver().fPosition = {d, "SNK00000000000000-none", b};
    OpenWindow();
    EXPECT_EQ(window->ProfileUIDs(), (QStringList{d, b, a, c}));
    const TGL_Profile* first = window->Model()->RowValues(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->txtTitle, "D");
    EXPECT_EQ(window->ListView()->visualRect(window->Model()->index(1)).height(), TProfileRowDelegate::kRowHeight);
}

// The action images carry a white glyph in the middle of a coloured disc: the
// colour is read on the disc, a few pixels above the centre.
constexpr int kDiscSampleAboveCentre = 7;

// The disc colour of the action image of a row, as the list paints it.
QColor PaintedActionColour(TfrmMain& window, int row) {
    const QRect rect = window.ListView()->visualRect(window.Model()->index(row));
    const QImage shot = window.ListView()->viewport()->grab().toImage();
    const QPoint sample(rect.left() + TProfileRowDelegate::kActionButtonWidth / 2 + 1,
                        rect.top() + 40 - kDiscSampleAboveCentre);
    return shot.pixelColor(sample * shot.devicePixelRatio());
}

QColor ImageCentreColour(EProgramImage image) {
    const QImage img = ProgramPixmap(image, 22).toImage();
    return img.pixelColor(11, 11 - kDiscSampleAboveCentre);
}

// The image a row must show for its state; selected rows show the active variant.
QColor ExpectedActionColour(TfrmMain& window, int row) {
    const bool selected = window.ListView()->selectionModel()->isRowSelected(row, {});
    switch (window.Model()->RowValues(row)->tAction) {
    case TTaskStatus::tsRun:
        return ImageCentreColour(selected ? EProgramImage::ActionStopActive : EProgramImage::ActionStop);
    case TTaskStatus::tsQueue:
        return ImageCentreColour(selected ? EProgramImage::ActionWaitActive : EProgramImage::ActionWait);
    case TTaskStatus::tsNone: break;
    }
    return ImageCentreColour(selected ? EProgramImage::ActionStartActive : EProgramImage::ActionStart);
}

TEST_F(MainWindowTest, RowTextsAndActionImageFollowARealSyncRun) {
    const QString source = sandbox.file("tree/src/");
    for (int i = 0; i < 40; ++i)
        sandbox.writeFile(QStringLiteral("tree/src/sub%1/file%2.txt").arg(i % 4).arg(i), QByteArray(1000 + i, 'x'));
    const QString uid = AddSync("Tree", source, sandbox.file("tree/dst/"));
    OpenWindow();
    ASSERT_EQ(PaintedActionColour(*window, 0), ImageCentreColour(EProgramImage::ActionStart));
    ASSERT_NE(ImageCentreColour(EProgramImage::ActionStart), ImageCentreColour(EProgramImage::ActionStopActive));

    struct Seen {
        TTaskStatus action;
        QString status;
        bool imageMatches;
    };
    std::vector<Seen> seen;
    QObject::connect(window->Model(), &QAbstractItemModel::dataChanged, window.get(), [&] {
        const TGL_Profile row = *window->Model()->RowValues(0);
        seen.push_back({row.tAction, row.txtStatus, PaintedActionColour(*window, 0) == ExpectedActionColour(*window, 0)});
    });
    ClickActionButton(uid);
    WaitUntilQueueEmpty();

    ASSERT_FALSE(seen.empty());
    bool sawRunning = false, sawCopy = false;
    for (const Seen& s : seen) {
        EXPECT_TRUE(s.imageMatches) << s.status.toStdString();
        sawRunning |= s.action == TTaskStatus::tsRun;
        sawCopy |= s.status == "Status: copy files";
    }
    EXPECT_TRUE(sawRunning);
    EXPECT_TRUE(sawCopy);
    EXPECT_EQ(seen.back().action, TTaskStatus::tsNone);
    EXPECT_EQ(seen.back().status, "Status: wait");
    EXPECT_TRUE(window->Model()->RowValues(0)->txtLastSync.startsWith("Last sync: ")) << window->Model()->RowValues(0)->txtLastSync.toStdString();
    EXPECT_TRUE(QFile::exists(sandbox.file("tree/dst/sub3/file39.txt")));
    EXPECT_EQ(PaintedActionColour(*window, 0), ImageCentreColour(EProgramImage::ActionStartActive));
}

TEST_F(MainWindowTest, ActionButtonAndDoubleClickRunAndStop) {
    const QString uid = AddPausingSync("Pausing");
    OpenWindow();
    ClickActionButton(uid);
    EXPECT_EQ(ProfileRow(*ctx, uid)->tAction, TTaskStatus::tsRun);
    ClickActionButton(uid);
    WaitUntilQueueEmpty();
    EXPECT_EQ(ProfileRow(*ctx, uid)->tAction, TTaskStatus::tsNone);
    EXPECT_EQ(Status(uid), "Status: wait");
    EXPECT_FALSE(CopiedMarker("Pausing")) << "stopped in its pause";

    DoubleClickRow(uid);
    EXPECT_EQ(ProfileRow(*ctx, uid)->tAction, TTaskStatus::tsRun);
    DoubleClickRow(uid);
    WaitUntilQueueEmpty();
    EXPECT_EQ(ProfileRow(*ctx, uid)->tAction, TTaskStatus::tsNone);
    EXPECT_FALSE(CopiedMarker("Pausing"));

    // Outside the button a single click only selects.
    ClickRow(uid);
    EXPECT_TRUE(ctx->TaskQueue().IsEmpty());
    EXPECT_EQ(window->ListView()->SelectedUIDs(), QStringList{uid});
}

TEST_F(MainWindowTest, RowMenuEnablingFollowsTheFirstSelectedProfile) {
    const QString running = AddPausingSync("Running");
    const QString queued = AddPausingSync("Queued");
    const QString idleSync = AddSync("Idle sync");
    const QString zip = AddZip("Zip");
    const QString folderZip = AddFolderZip("Folder zip");
    OpenWindow();
    EXPECT_EQ(ItemNames(window->RowMenu()), (QStringList{"miRunTask", "miAnalysis", "miStopTask", "-", "miShowResult",
                                                         "-", "miEdit", "miScript", "-", "miDelete", "-",
                                                         "miCopyUID"}));
    EXPECT_EQ(ItemNames(window->RowMenuMulti()), (QStringList{"miRunTask", "miStopTask", "-", "miDelete"}));
    EXPECT_EQ(window->RowMenu()->defaultAction()->objectName(), "miRunTask");
    EXPECT_TRUE(EnabledItems(window->RowMenu()).isEmpty()) << "nothing selected";

    RunProfile(*ctx, running, false);
    RunProfile(*ctx, queued, false);
    ASSERT_EQ(ProfileRow(*ctx, queued)->tAction, TTaskStatus::tsQueue);

    struct Case {
        QString uid;
        QStringList enabled;
    };
    const std::vector<Case> cases = {
        {idleSync, {"miRunTask", "miAnalysis", "miShowResult", "miEdit", "miScript", "miDelete", "miCopyUID"}},
        {folderZip, {"miRunTask", "miAnalysis", "miShowResult", "miEdit", "miScript", "miDelete", "miCopyUID"}},
        {zip, {"miRunTask", "miEdit", "miScript", "miDelete", "miCopyUID"}},
        {queued, {"miAnalysis", "miStopTask", "miShowResult", "miCopyUID"}},
        {running, {"miAnalysis", "miStopTask", "miShowResult", "miCopyUID"}},
    };
    for (const Case& c : cases) {
        ClickRow(c.uid);
        EXPECT_EQ(window->CurrentRowMenu(), window->RowMenu());
        EXPECT_EQ(EnabledItems(window->RowMenu()), c.enabled) << Status(c.uid).toStdString();
    }

    // Several rows: the multi menu, enabled from the first row selected.
    ClickRow(running);
    ClickRow(idleSync, Qt::ControlModifier);
    EXPECT_EQ(window->CurrentRowMenu(), window->RowMenuMulti());
    EXPECT_EQ(EnabledItems(window->RowMenuMulti()), QStringList{"miStopTask"});
    ClickRow(idleSync);
    ClickRow(running, Qt::ControlModifier);
    EXPECT_EQ(EnabledItems(window->RowMenuMulti()), (QStringList{"miRunTask", "miDelete"}));

    // "Stop" on several rows stops each of them.
    ClickRow(queued);
    ClickRow(running, Qt::ControlModifier);
    Item(window->RowMenuMulti(), "miStopTask")->trigger();
    WaitUntilQueueEmpty();
    EXPECT_TRUE(IsProfileIdle(*ctx, running));
    EXPECT_TRUE(IsProfileIdle(*ctx, queued));
}

class DragAndDropTest : public MainWindowTest {
protected:
    void SetUp() override {
        for (const char* title : {"P0", "P1", "P2", "P3", "P4"})
            uids << AddSync(title);
        OpenWindow();
    }
    QStringList Order(std::initializer_list<int> positions) const {
        QStringList order;
        for (int i : positions)
            order << uids[i];
        return order;
    }
    QStringList uids;
};

TEST_F(DragAndDropTest, OneRowGoesBeforeOrAfterTheTargetAndTheOrderIsSaved) {
    ClickRow(uids[0]);
    DropSelectionOn(uids[2], 79); // the lower part: after
    EXPECT_EQ(window->ProfileUIDs(), Order({1, 2, 0, 3, 4}));
    EXPECT_EQ(SavedPositions(), Order({1, 2, 0, 3, 4}));

    ClickRow(uids[4]);
    DropSelectionOn(uids[1], 39); // more than 40 pixels above the bottom: before
    EXPECT_EQ(window->ProfileUIDs(), Order({4, 1, 2, 0, 3}));
    EXPECT_EQ(SavedPositions(), Order({4, 1, 2, 0, 3}));

    // Dropped on itself nothing moves.
    ClickRow(uids[2]);
    DropSelectionOn(uids[2], 10);
    EXPECT_EQ(window->ProfileUIDs(), Order({4, 1, 2, 0, 3}));
}

TEST_F(DragAndDropTest, SeveralRowsGoInReverseSelectionOrderBeforeAndInSelectionOrderAfter) {
    ClickRow(uids[3]);
    ClickRow(uids[0], Qt::ControlModifier);
    DropSelectionOn(uids[2], 20); // upper part
    EXPECT_EQ(window->ProfileUIDs(), Order({1, 0, 3, 2, 4}));
    EXPECT_EQ(SavedPositions(), Order({1, 0, 3, 2, 4}));

    // The target among the selection stays where it is.
    ClickRow(uids[4]);
    ClickRow(uids[1], Qt::ControlModifier);
    ClickRow(uids[0], Qt::ControlModifier);
    DropSelectionOn(uids[0], 60); // lower part of a selected row
    EXPECT_EQ(window->ProfileUIDs(), Order({0, 4, 1, 3, 2}));
    EXPECT_EQ(SavedPositions(), Order({0, 4, 1, 3, 2}));
}

TEST_F(MainWindowTest, DeleteAsksSkipsBusyProfilesAndRemovesRowsEntriesAndSections) {
    const QString first = AddSync("First");
    const QString busy = AddPausingSync("Busy");
    const QString third = AddZip("Third");
    const QString kept = AddSync("Kept");
    // Every profile is on disk first, so that the sections are there to go.
    for (const QString& uid : {first, busy, third, kept})
        ctx->Saver().AddNewTask(TSaveSetType::stFullProfile, uid);
    ctx->Saver().RunSaveAndWait();
    const IniDocument before = ReadSettingsFile(ctx->Paths().SettingsFile());
    ASSERT_TRUE(before.HasSection(first + "_st"));
    ASSERT_TRUE(before.HasSection(third + "_st"));
    OpenWindow();
    RunProfile(*ctx, busy, false);

    QStringList asked;
    bool answer = false;
    window->SetDeleteQuestion([&](const QString& title, const QString& text) {
        asked << title << text;
        return answer;
    });
    ClickRow(first);
    ClickRow(busy, Qt::ControlModifier);
    ClickRow(third, Qt::ControlModifier);
    Item(window->RowMenuMulti(), "miDelete")->trigger();
    EXPECT_EQ(asked, (QStringList{"Delete comfirm", "Delete selected profiles?"}));
    EXPECT_EQ(window->ProfileUIDs().size(), 4) << "No keeps everything";

    answer = true;
    Item(window->RowMenuMulti(), "miDelete")->trigger();
    EXPECT_EQ(window->ProfileUIDs(), (QStringList{busy, kept}));
    EXPECT_EQ(ctx->FindProfileByUID(first), nullptr);
    EXPECT_EQ(ctx->FindProfileByUID(third), nullptr);
    ASSERT_NE(ctx->FindProfileByUID(busy), nullptr);

    AbortProfile(*ctx, busy);
    WaitUntilQueueEmpty();
    EXPECT_EQ(SavedPositions(), (QStringList{busy, kept}));
    const IniDocument after = ReadSettingsFile(ctx->Paths().SettingsFile());
    EXPECT_FALSE(after.HasSection(first + "_st"));
    EXPECT_FALSE(after.HasSection(third + "_st"));
    EXPECT_TRUE(after.HasSection(busy + "_st"));
    EXPECT_TRUE(after.HasSection(kept + "_st"));
}

TEST_F(MainWindowTest, CopyUIDPutsTheOneSelectedUIDOnTheClipboard) {
    AddSync("One");
    const QString two = AddZip("Two");
    OpenWindow();
    QGuiApplication::clipboard()->setText("before");
    ClickRow(two);
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), two);
}

TEST_F(MainWindowTest, CommandsOfLaterWindowsSayTheyAreNotAvailableYet) {
    const QString uid = AddSync("One");
    TLumoNotificationSettings popups;
    OpenWindow();
    ClickRow(uid);
    int hooked = 0;
    QString edited;
    for (const char* name : {"miShowResult", "miEdit", "miScript"}) {
        Item(window->RowMenu(), name)->trigger();
        ASSERT_FALSE(popups.NotificationList.isEmpty()) << name;
        EXPECT_EQ(popups.NotificationList.last()->Text, "This window is not available yet.") << name;
    }
    const int shown = popups.NotificationList.size();
    for (QMenu* menu : {window->NewProfileMenu(), window->SettingsMenu()})
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && !action->menu() && action->objectName() != "miMinimizeToTray")
                action->trigger();
    EXPECT_EQ(popups.NotificationList.size(), shown + 3 + 3);

    // A hook replaces the popup.
    window->Hooks().EditProfile = [&](const QString& u) {
        ++hooked;
        edited = u;
    };
    QTest::keyClick(window.get(), Qt::Key_F2);
    EXPECT_EQ(hooked, 1);
    EXPECT_EQ(edited, uid);
}

TEST_F(MainWindowTest, WithoutASystemTrayMinimizeToTrayMinimizesToTheTaskbar) {
    AddSync("One");
    OpenWindow();
    ASSERT_FALSE(window->Tray()->Available()) << "offscreen has no tray";
    QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(window->MainFormHidden());
    QAction* item = Item(window->SettingsMenu(), "miMinimizeToTray");
    EXPECT_EQ(item->toolTip(),
              "There is no system tray on this desktop: the window is minimized to the taskbar instead.");

    // With a tray the window hides into it, and a click on the icon brings it back.
    window->Tray()->SetAvailability([] { return true; });
    window->showNormal();
    window->MinimizeToTray();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->Tray()->IsVisible());
    ctx->Options.ShowTrayIcon = false;
    window->TrayIconClick();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->MainFormHidden());
    EXPECT_FALSE(window->Tray()->IsVisible()) << "the icon goes again when the tray option is off";
}

TEST_F(MainWindowTest, TheTrayIconAnimatesWhileTheQueueRuns) {
    const QString uid = AddPausingSync("Pausing");
    OpenWindow();
    EXPECT_FALSE(window->Tray()->IsAnimating());
    RunProfile(*ctx, uid, false);
    EXPECT_TRUE(window->Tray()->IsAnimating());
    AbortProfile(*ctx, uid);
    WaitUntilQueueEmpty();
    EXPECT_FALSE(window->Tray()->IsAnimating());
    EXPECT_EQ(window->Tray()->ShownFrame(), 0);
}

TEST_F(MainWindowTest, AutorunWithoutATrayStartsMinimizedNeverHidden) {
    AddSync("One");
    window = CreateMainWindow(*ctx, MainWindowStartFromArguments({"x", " /autorun "}, true));
    EXPECT_TRUE(window->Tray()->IsVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(window->MainFormHidden());
}

TEST_F(MainWindowTest, TheLanguageChangeRewritesMenusLinksAndRows) {
    const QString uid = AddSync("One");
    OpenWindow();
    EXPECT_EQ(Item(window->RowMenu(), "miRunTask")->text(), "Run task");
    EXPECT_EQ(Status(uid), "Status: wait");
    SetBuiltinRussian(ctx->Language, ctx->Options.Language, ctx->Options.LanguageLocal);
    window->ApplyLanguageChange();
    TLanguage russian;
    QString name;
    bool local = false;
    SetBuiltinRussian(russian, name, local);
    EXPECT_EQ(Item(window->RowMenu(), "miRunTask")->text(), russian.Text(Lng::lng_MF_miRunTask));
    EXPECT_EQ(Status(uid), russian.Text(Lng::lng_Global_StatusWait));
    EXPECT_TRUE(window->StatusLinks()->findChild<QLabel*>("lnkNewProfile")->text().contains(
        russian.Text(Lng::lng_MF_lnkNewProfile).toHtmlEscaped()));
}

TEST_F(MainWindowTest, AfterTheGeneralSettingsTheWindowTakesUpStayOnTopAndANewLanguage) {
    AddSync("One");
    OpenWindow();
    window->Hooks().GeneralSettings = [this] {
        ctx->Options.StayOnTop = true;
        SetBuiltinRussian(ctx->Language, ctx->Options.Language, ctx->Options.LanguageLocal);
    };
    Item(window->SettingsMenu(), "miGeneral")->trigger();
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    TLanguage russian;
    QString name;
    bool local = false;
    SetBuiltinRussian(russian, name, local);
    EXPECT_EQ(Item(window->SettingsMenu(), "miGeneral")->text(), russian.Text(Lng::lng_MF_miGeneral));
}

TEST_F(MainWindowTest, TheSchedulerWithoutProfilesWarnsFirst) {
    TLumoNotificationSettings popups;
    OpenWindow();
    int opened = 0;
    window->Hooks().Scheduler = [&] { ++opened; };
    Item(window->SettingsMenu(), "miScheduler")->trigger();
    ASSERT_EQ(popups.NotificationList.size(), 1);
    EXPECT_EQ(popups.NotificationList.first()->Title, "Warning");
    EXPECT_EQ(popups.NotificationList.first()->Text,
              "There are no profiles to show in the scheduler. Create at least one profile.");
    EXPECT_EQ(opened, 1);
}

TEST_F(MainWindowTest, TheUpdateLinkFollowsUpdateAvailable) {
    OpenWindow();
    EXPECT_FALSE(window->StatusLinks()->findChild<QLabel*>("lnkUpdateAvailable")->isVisible());
    ctx->Options.UpdateAvailable = true;
    window->LayoutStatusBar();
    EXPECT_TRUE(window->StatusLinks()->findChild<QLabel*>("lnkUpdateAvailable")->isVisible());
}

TEST_F(MainWindowTest, ClosingStopsTheRunningTaskThenWritesTheFinalSave) {
    const QString running = AddPausingSync("Running");
    const QString other = AddSync("Other");
    OpenWindow();
    RunProfile(*ctx, running, false);
    ClickRow(other);
    DropSelectionOn(running, 10);
    ASSERT_EQ(window->ProfileUIDs(), (QStringList{other, running}));
    ASSERT_FALSE(QFile::exists(ctx->Paths().SettingsFile()));
    ASSERT_EQ(ProfileRow(*ctx, running)->tAction, TTaskStatus::tsRun);

    bool closedAfterSave = false;
    QObject::connect(window.get(), &TfrmMain::closed, [&] {
        closedAfterSave = QFile::exists(ctx->Paths().SettingsFile()) && ctx->AppClosing;
    });
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(closedAfterSave);
    // The save pass ran before AppClosing (which refuses passes): the new order is on disk.
    TGlobalOptions options;
    QStringList positions;
    LoadMainSection(ReadSettingsFile(ctx->Paths().SettingsFile()), options, positions);
    EXPECT_EQ(positions, (QStringList{other, running}));
    // The running task was stopped and the queue has emptied.
    EXPECT_TRUE(ctx->TaskQueue().IsEmpty());
    EXPECT_TRUE(IsProfileIdle(*ctx, running));
    EXPECT_FALSE(CopiedMarker("Running")) << "stopped in its pause";
}

} // namespace

// The status bar's links as a person uses them: they light up under the mouse
// like every link; "New profile" clicked opens its menu, where "Sync" asks for
// a new sync profile; "Settings", reached with Tab and opened with Space,
// leads to the general settings; "Update available", clicked or pressed,
// starts an update check unless one is running.
TEST_F(MainWindowTest, TheStatusBarLinksRunTheirCommandsByMouseAndKeyboard) {
    ctx->Options.UpdateAvailable = true;
    OpenWindow();
    QList<TBackupClass> newProfiles;
    int generalSettings = 0, updateChecks = 0;
    bool checkRunning = false;
    window->Hooks().NewProfile = [&](TBackupClass kind) { newProfiles << kind; };
    window->Hooks().GeneralSettings = [&] { ++generalSettings; };
    window->Hooks().CheckUpdate = [&] { ++updateChecks; };
    window->Hooks().CheckUpdateRunning = [&] { return checkRunning; };
    TStatusBarLinks* links = window->StatusLinks();
    TLinkLabel* newProfile = links->NewProfileLink()->pLabel;
    TLinkLabel* settings = links->SettingsLink()->pLabel;
    TLinkLabel* update = links->UpdateLink()->pLabel;
    ASSERT_TRUE(update->isVisible());

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(newProfile, &enter);
    EXPECT_EQ(links->NewProfileLink()->pStatus, lnkStatus_Active);
    EXPECT_EQ(newProfile->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(newProfile, Qt::LeftButton);
    QMenu* newMenu = window->NewProfileMenu();
    ASSERT_TRUE(newMenu->isVisible());
    QTest::keyClick(newMenu, Qt::Key_Down);
    QTest::keyClick(newMenu, Qt::Key_Return);
    EXPECT_EQ(newProfiles, QList<TBackupClass>{TBackupClass::bcSync});
    EXPECT_FALSE(newMenu->isVisible());

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    newProfile->setFocus();
    QTest::keyClick(newProfile, Qt::Key_Tab);
    ASSERT_TRUE(settings->hasFocus());
    QTest::keyClick(settings, Qt::Key_Space);
    QMenu* settingsMenu = window->SettingsMenu();
    ASSERT_TRUE(settingsMenu->isVisible());
    QTest::keyClick(settingsMenu, Qt::Key_Down);
    ASSERT_EQ(settingsMenu->activeAction(), Item(settingsMenu, "miGeneral"));
    QTest::keyClick(settingsMenu, Qt::Key_Return);
    EXPECT_EQ(generalSettings, 1);

    QTest::mouseClick(update, Qt::LeftButton);
    EXPECT_EQ(updateChecks, 1);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    update->setFocus();
    QTest::keyClick(update, Qt::Key_Return);
    EXPECT_EQ(updateChecks, 2);
    checkRunning = true;
    QTest::mouseClick(update, Qt::LeftButton);
    EXPECT_EQ(updateChecks, 2);
}
