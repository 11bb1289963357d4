#include "gui/notify/notifications.h"

#include "gui/images/image_list.h"
#include "gui/notify/notification_form.h"
#include "gui/ui/link_controls.h"
#include "gui/ui/program_link_style.h"
#include "gui/util/window_helpers.h"

namespace {

TLumoNotificationSettings* gCurrent = nullptr;

constexpr int kRestackIntervalMs = 6000;
constexpr int kGap = 10;

void Open(TNotification* note) {
    TLumoNotificationSettings* manager = TLumoNotificationSettings::Current();
    if (!manager || manager->pNowDestroy) {
        delete note;
        return;
    }
    manager->Show(note);
}

// Closed ranges: popups that merely touch count as overlapping, so the gap
// between them is always kept.
bool RangesMeet(int top1, int height1, int top2, int height2) {
    return top1 <= top2 + height2 && top2 <= top1 + height1;
}

} // namespace

std::unique_ptr<TLumoImageList> MakeNotificationImageList() {
    auto list = std::make_unique<TLumoImageList>(32, 32);
    list->Add(QStringLiteral("Notification_Info"), EProgramImage::NotificationInfo);
    list->Add(QStringLiteral("Notification_Warning"), EProgramImage::NotificationWarning);
    list->Add(QStringLiteral("Notification_Error"), EProgramImage::NotificationError);
    list->Add(QStringLiteral("Notification_Update"), EProgramImage::NotificationUpdate);
    return list;
}

TLumoNotificationSettings::TLumoNotificationSettings(QObject* parent)
    : QObject(parent), fStandardImages(MakeNotificationImageList()) {
    pMainImageList = fStandardImages.get();
    fPlainLinkStyle = std::make_unique<TProgramLinkStyle>();
    pLinkStyle = fPlainLinkStyle->Style();
    pSetNewPositionTimer.setInterval(kRestackIntervalMs);
    connect(&pSetNewPositionTimer, &QTimer::timeout, this, &TLumoNotificationSettings::RestackAll);
    gCurrent = this;
}

TLumoNotificationSettings::~TLumoNotificationSettings() {
    pSetNewPositionTimer.stop();
    for (TNotification* note : NotificationList) {
        if (note->ReportForm) {
            note->ReportForm->Report = nullptr;
            delete note->ReportForm.data();
        }
        delete note;
    }
    NotificationList.clear();
    fPlainLinkStyle.reset();
    if (gCurrent == this)
        gCurrent = nullptr;
}

TLumoNotificationSettings* TLumoNotificationSettings::Current() {
    return gCurrent;
}

void TLumoNotificationSettings::SetDefaultFormSize(int nWidth, int nHeight, int nTopBegin) {
    dftWidth = nWidth;
    dftHeight = nHeight;
    dftTop = nTopBegin;
}

void TLumoNotificationSettings::SetFonts(const QFont& nTitle, const QFont& nText) {
    fntTitle = nTitle;
    fntText = nText;
}

void TLumoNotificationSettings::NowDestroy() {
    pNowDestroy = true;
}

void TLumoNotificationSettings::Show(TNotification* note) {
    if (pNowDestroy) {
        delete note;
        return;
    }
    if (note->Time < 0)
        note->Time = fDefaultShowTime;
    auto* form = new tfm_NotificationForm(*this, *note);
    note->ReportForm = form;
    note->frmWidth = form->frameGeometry().width();
    note->frmHeight = form->frameGeometry().height();
    NotificationList.append(note);
    PlaceNotifications(note);
    form->show();
    form->raise();
    // Shown, the window has its frame: the stacking goes by the size on screen.
    if (form->frameGeometry().size() != QSize(note->frmWidth, note->frmHeight)) {
        note->frmWidth = form->frameGeometry().width();
        note->frmHeight = form->frameGeometry().height();
        PlaceNotifications(note);
    }
    form->StartCloseTimer();
    pSetNewPositionTimer.start();
}

void TLumoNotificationSettings::PlaceNotifications(TNotification* nOnly) {
    if (pNowRebuildPosition || pNowDestroy)
        return;
    const QRect area = WorkAreaRect();
    const int right = area.x() + area.width();
    const int bottom = area.y() + area.height();
    pNowRebuildPosition = true;
    pSetNewPositionTimer.stop();

    const QList<TNotification*> toPlace = nOnly ? QList<TNotification*>{nOnly} : NotificationList;
    for (TNotification* p : toPlace) {
        // A window manager may have framed the window since it was built; the
        // stacking goes by the size on screen.
        if (p->ReportForm && p->ReportForm->isVisible()) {
            p->frmWidth = p->ReportForm->frameGeometry().width();
            p->frmHeight = p->ReportForm->frameGeometry().height();
        }
        int x = right - p->frmWidth - kGap;
        int y = bottom - p->frmHeight - kGap;
        bool conflict = true;
        while (conflict) {
            conflict = false;
            for (const TNotification* q : NotificationList) {
                if (q == p || q->PosX == 0 || q->PosY == 0 || q->PosX != x)
                    continue;
                if (!RangesMeet(y, p->frmHeight, q->PosY, q->frmHeight))
                    continue;
                y = q->PosY - p->frmHeight - kGap;
                if (y < area.y()) {
                    y = bottom - p->frmHeight - kGap;
                    x = q->PosX - p->frmWidth - kGap;
                }
                conflict = true;
                break;
            }
        }
        p->PosX = x;
        p->PosY = y;
        if (p->ReportForm)
            p->ReportForm->move(x, y);
    }

    pNowRebuildPosition = false;
    if (!NotificationList.isEmpty())
        pSetNewPositionTimer.start();
}

void TLumoNotificationSettings::RestackAll() {
    PlaceNotifications(nullptr);
}

void TLumoNotificationSettings::CloseNotification(TNotification* note) {
    if (!note || !NotificationList.contains(note))
        return;
    if (tfm_NotificationForm* form = note->ReportForm) {
        form->tmrClose.stop();
        form->Report = nullptr;
        form->hide();
        // The close may come from inside one of the window's own handlers
        // (its close box, its link): the window goes once they have returned.
        form->deleteLater();
    }
    NotificationList.removeAll(note);
    if (NotificationList.isEmpty())
        pSetNewPositionTimer.stop();
    else if (!pNowDestroy)
        pSetNewPositionTimer.start();
    delete note;
}

void ShowNotification(const QString& Title, const QString& Text, int ImgIndex, int Time) {
    auto* note = new TNotification;
    note->Title = Title;
    note->Text = Text;
    note->ImgIndex = ImgIndex;
    note->Time = Time;
    Open(note);
}

void ShowLinkNotification(const QString& Title, const QString& Text, const QString& LinkText, int ImgIndex,
                          int LinkImgIndex, int Time, int LinkTag, std::function<void(TNotification&)> LinkClick) {
    auto* note = new TNotification;
    note->Title = Title;
    note->Text = Text;
    note->LinkText = LinkText;
    note->ImgIndex = ImgIndex;
    note->LinkImgIndex = LinkImgIndex;
    note->Time = Time;
    note->LinkTag = LinkTag;
    note->LinkClick = std::move(LinkClick);
    Open(note);
}

void HideAllNotifies() {
    TLumoNotificationSettings* manager = TLumoNotificationSettings::Current();
    if (!manager)
        return;
    while (!manager->NotificationList.isEmpty())
        manager->CloseNotification(manager->NotificationList.first());
}
