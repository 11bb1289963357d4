#include "gui/notify/notifications.h"

// Records the popups without windows until the popup window exists; the
// manager's list and the entry points are the ones callers keep.

namespace {
TLumoNotificationSettings* gCurrent = nullptr;

void Open(TNotification* note) {
    TLumoNotificationSettings* manager = TLumoNotificationSettings::Current();
    if (!manager || manager->pNowDestroy) {
        delete note;
        return;
    }
    if (note->Time < 0)
        note->Time = manager->fDefaultShowTime;
    manager->NotificationList.append(note);
}
} // namespace

TLumoNotificationSettings::TLumoNotificationSettings(QObject* parent) : QObject(parent) {
    gCurrent = this;
}

TLumoNotificationSettings::~TLumoNotificationSettings() {
    qDeleteAll(NotificationList);
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

void ShowNotification(const QString& Title, const QString& Text, int ImgIndex, int Time) {
    Open(new TNotification{Title, Text, QString(), Time, ImgIndex, 0, 0, {}});
}

void ShowLinkNotification(const QString& Title, const QString& Text, const QString& LinkText, int ImgIndex,
                          int LinkImgIndex, int Time, int LinkTag, std::function<void(TNotification&)> LinkClick) {
    Open(new TNotification{Title, Text, LinkText, Time, ImgIndex, LinkImgIndex, LinkTag, std::move(LinkClick)});
}

void HideAllNotifies() {
    if (TLumoNotificationSettings* manager = TLumoNotificationSettings::Current()) {
        qDeleteAll(manager->NotificationList);
        manager->NotificationList.clear();
    }
}
