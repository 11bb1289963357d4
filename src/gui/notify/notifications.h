#pragma once

#include <QFont>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

struct TNotification;

// The popup notifications near the notification area. One manager lives from
// program start to exit; while it lives it is the one the free functions below
// use, so a test builds its own and tears it down.
class TLumoNotificationSettings : public QObject {
    Q_OBJECT
public:
    explicit TLumoNotificationSettings(QObject* parent = nullptr);
    ~TLumoNotificationSettings() override;

    static TLumoNotificationSettings* Current();

    void SetDefaultFormSize(int nWidth, int nHeight, int nTopBegin);
    void SetFonts(const QFont& nTitle, const QFont& nText);
    void NowDestroy();

    bool pDontUseTitleLabel = true;
    QFont fntTitle;
    QFont fntText;
    int dftTop = 8;
    int dftWidth = 318;
    int dftHeight = 118;
    QList<TNotification*> NotificationList; // the open popups, in the order shown
    bool pNowDestroy = false;
    QString pAppName;
    int fDefaultShowTime = 5;
};

// One open popup's data; it leaves NotificationList when its popup closes.
struct TNotification {
    QString Title;
    QString Text;
    QString LinkText;
    int Time = 0;
    int ImgIndex = 0;
    int LinkImgIndex = 0;
    int LinkTag = 0;
    std::function<void(TNotification&)> LinkClick;
};

// Time -1: the manager's default show time; 0: stays until closed.
void ShowNotification(const QString& Title, const QString& Text, int ImgIndex, int Time);
void ShowLinkNotification(const QString& Title, const QString& Text, const QString& LinkText, int ImgIndex,
                          int LinkImgIndex, int Time, int LinkTag, std::function<void(TNotification&)> LinkClick);
void HideAllNotifies();
