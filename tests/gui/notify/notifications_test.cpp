// Popups on an exact free area: where they stand, how they stack into
// columns, how the gaps close, when they close by themselves, and their links.

#include "gui/notify/notification_form.h"
#include "gui/notify/notifications.h"
#include "gui/ui/link_controls.h"
#include "gui/util/window_helpers.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A 1920 x 1080 screen with a 40-pixel taskbar along the bottom.
const QRect kFullHd(0, 0, 1920, 1040);

class Notifications : public ::testing::Test {
protected:
    void SetUp() override {
        fManager.SetDefaultFormSize(318, 118, 8);
        fManager.pAppName = QStringLiteral("Backup");
    }
    void TearDown() override {
        HideAllNotifies();
        DestroyClosedWindows();
    }

    static void DestroyClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    TNotification* Last() const { return fManager.NotificationList.last(); }
    TNotification* Open(const QString& text = QStringLiteral("Saved."), int time = 0) {
        ShowNotification(QStringLiteral("Title"), text, kNotificationImageInfo, time);
        return Last();
    }

    TScopedWorkArea fArea{kFullHd};
    TLumoNotificationSettings fManager;
};

} // namespace

TEST_F(Notifications, ThreePopupsStandInOneColumnTenPixelsApart) {
    TNotification* first = Open();
    TNotification* second = Open();
    TNotification* third = Open();
    for (TNotification* note : {first, second, third}) {
        // The popup's own area has the default size; the stacking counts the
        // window as it stands on the screen, frame included.
        EXPECT_EQ(note->ReportForm->size(), QSize(318, 118));
        EXPECT_EQ(note->frmWidth, note->ReportForm->frameGeometry().width());
        EXPECT_EQ(note->frmHeight, note->ReportForm->frameGeometry().height());
        EXPECT_EQ(note->PosX, 1920 - 10 - note->frmWidth);
        EXPECT_EQ(note->ReportForm->pos(), QPoint(note->PosX, note->PosY));
        EXPECT_TRUE(note->ReportForm->isVisible());
    }
    EXPECT_EQ(first->PosY, 1040 - 10 - first->frmHeight);
    EXPECT_EQ(second->PosY, first->PosY - 10 - second->frmHeight);
    EXPECT_EQ(third->PosY, second->PosY - 10 - third->frmHeight);
    EXPECT_EQ(first->ReportForm->windowTitle(), QStringLiteral("Backup - Title "));
    EXPECT_TRUE(first->ReportForm->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(fManager.pSetNewPositionTimer.isActive());
    EXPECT_EQ(fManager.pSetNewPositionTimer.interval(), 6000);
}

TEST_F(Notifications, AFullColumnOpensANewOneToTheLeftFromTheBottom) {
    TScopedWorkArea small(QRect(0, 0, 800, 300));
    TNotification* first = Open();
    TNotification* second = Open();
    TNotification* third = Open();
    TNotification* fourth = Open();
    const int h = first->frmHeight;
    ASSERT_GE(h, 118);
    ASSERT_LE(2 * (h + 10), 300); // two fit above each other
    ASSERT_GT(3 * (h + 10), 300); // the third does not
    EXPECT_EQ(first->PosX, 800 - 10 - first->frmWidth);
    EXPECT_EQ(first->PosY, 300 - 10 - h);
    EXPECT_EQ(second->PosY, first->PosY - 10 - h);
    EXPECT_EQ(second->PosX, first->PosX);
    // Above the second there is no room: a column further left, at the bottom.
    EXPECT_EQ(third->PosX, first->PosX - 10 - third->frmWidth);
    EXPECT_EQ(third->PosY, first->PosY);
    EXPECT_EQ(fourth->PosX, third->PosX);
    EXPECT_EQ(fourth->PosY, second->PosY);
}

TEST_F(Notifications, ClosingTheLowestLeavesAGapThatTheRestackingCloses) {
    TNotification* first = Open();
    TNotification* second = Open();
    TNotification* third = Open();
    const int lowest = first->PosY;
    const int middle = second->PosY;
    QPointer<tfm_NotificationForm> window = first->ReportForm;
    window->close();
    DestroyClosedWindows();
    EXPECT_TRUE(window.isNull());
    ASSERT_EQ(fManager.NotificationList, (QList<TNotification*>{second, third}));
    EXPECT_EQ(second->PosY, middle); // nothing moves before the timer runs
    EXPECT_TRUE(fManager.pSetNewPositionTimer.isActive());
    EXPECT_EQ(fManager.pSetNewPositionTimer.interval(), 6000);

    fManager.RestackAll();
    EXPECT_EQ(second->PosY, lowest);
    EXPECT_EQ(third->PosY, middle);
    EXPECT_EQ(third->ReportForm->pos().y(), middle);
    EXPECT_TRUE(fManager.pSetNewPositionTimer.isActive());
}

TEST_F(Notifications, DefaultTimeClosesAfterFiveSecondsAndZeroStays) {
    fManager.fDefaultShowTime = 5;
    TNotification* byDefault = Open(QStringLiteral("Closes"), -1);
    TNotification* staying = Open(QStringLiteral("Stays"), 0);
    TNotification* three = Open(QStringLiteral("Three"), 3);
    EXPECT_EQ(byDefault->Time, 5);
    EXPECT_TRUE(byDefault->ReportForm->tmrClose.isActive());
    EXPECT_EQ(byDefault->ReportForm->tmrClose.interval(), 5000);
    EXPECT_EQ(three->ReportForm->tmrClose.interval(), 3000);
    EXPECT_FALSE(staying->ReportForm->tmrClose.isActive());

    // Let the auto-close timer run out without waiting the five seconds.
    byDefault->ReportForm->tmrClose.start(1);
    for (int i = 0; i < 200 && fManager.NotificationList.contains(byDefault); ++i)
        QTest::qWait(5);
    EXPECT_EQ(fManager.NotificationList, (QList<TNotification*>{staying, three}));
}

TEST_F(Notifications, ALongTextMakesThePopupTallerAndTheStackUsesItsHeight) {
    TNotification* shortOne = Open();
    QString longText;
    for (int i = 0; i < 30; ++i)
        longText += QStringLiteral("The storage folder is on a disk that is not connected. ");
    TNotification* longOne = Open(longText);
    const QLabel* text = longOne->ReportForm->LabelText;
    EXPECT_GT(longOne->ReportForm->height(), 118);
    EXPECT_EQ(longOne->ReportForm->height(), text->geometry().bottom() + 1 + 18);
    EXPECT_EQ(longOne->frmHeight, longOne->ReportForm->frameGeometry().height());
    EXPECT_EQ(text->width(), 318 - 48 - 20);
    EXPECT_EQ(longOne->PosY, shortOne->PosY - 10 - longOne->frmHeight);
    EXPECT_EQ(shortOne->ReportForm->height(), 118);
}

TEST_F(Notifications, HideAllClosesEveryPopupAndStopsTheRestacking) {
    QList<QPointer<tfm_NotificationForm>> windows;
    for (int i = 0; i < 5; ++i)
        windows << Open()->ReportForm;
    HideAllNotifies();
    DestroyClosedWindows();
    EXPECT_TRUE(fManager.NotificationList.isEmpty());
    EXPECT_FALSE(fManager.pSetNewPositionTimer.isActive());
    for (const auto& window : windows)
        EXPECT_TRUE(window.isNull());
}

TEST_F(Notifications, LinkRunsItsHandlerOnceAndClosesThePopup) {
    int clicks = 0;
    int tag = 0;
    ShowLinkNotification(QStringLiteral("Update"), QStringLiteral("Version 2.1 is available."),
                         QStringLiteral("Download"), kNotificationImageUpdate, 0, 0, 42,
                         [&](TNotification& note) {
                             ++clicks;
                             tag = note.LinkTag;
                         });
    TNotification* note = Last();
    tfm_NotificationForm* window = note->ReportForm;
    ASSERT_NE(window->lnkMain, nullptr);
    EXPECT_FALSE(window->tmrClose.isActive()); // stays until clicked or closed
    const QLabel* text = window->LabelText;
    EXPECT_EQ(window->lnkMain->pLabel->y(), text->geometry().bottom() + 1 + 10);
    EXPECT_EQ(window->lnkMain->pLabel->text(), QStringLiteral("Download"));
    QPointer<tfm_NotificationForm> watched = window;
    QTest::mouseClick(window->lnkMain->pLabel, Qt::LeftButton);
    DestroyClosedWindows();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(tag, 42);
    EXPECT_TRUE(fManager.NotificationList.isEmpty());
    EXPECT_TRUE(watched.isNull());
}

TEST_F(Notifications, ALinkHandlerThatHidesEverythingIsSafe) {
    Open();
    ShowLinkNotification(QStringLiteral("Update"), QStringLiteral("Text"), QStringLiteral("Hide all"),
                         kNotificationImageUpdate, 0, 0, 0, [](TNotification&) { HideAllNotifies(); });
    QTest::mouseClick(Last()->ReportForm->lnkMain->pLabel, Qt::LeftButton);
    DestroyClosedWindows();
    EXPECT_TRUE(fManager.NotificationList.isEmpty());
}

TEST_F(Notifications, TitleLabelInsteadOfCaptionPushesTheTextDown) {
    fManager.pDontUseTitleLabel = false;
    TNotification* note = Open();
    ASSERT_FALSE(note->ReportForm->LabelTitle.isNull());
    EXPECT_EQ(note->ReportForm->LabelTitle->text(), QStringLiteral("Title"));
    EXPECT_EQ(note->ReportForm->LabelTitle->pos(), QPoint(48, 8));
    EXPECT_EQ(note->ReportForm->LabelText->y(), 8 + 22);
    EXPECT_EQ(note->ReportForm->pImage->geometry(), QRect(6, 8, 32, 32));
}

TEST_F(Notifications, NothingOpensOnceTheManagerIsGoingDown) {
    Open();
    fManager.NowDestroy();
    ShowNotification(QStringLiteral("Late"), QStringLiteral("Too late"), 0, 0);
    EXPECT_EQ(fManager.NotificationList.size(), 1);
}
