#pragma once

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

struct TNotification;
class TLumoImageList;
class TLumo_Link_Style;
class TProgramLinkStyle;
class tfm_NotificationForm;

// Indices of the popup images in the manager's standard image list.
inline constexpr int kNotificationImageInfo = 0;
inline constexpr int kNotificationImageWarning = 1;
inline constexpr int kNotificationImageError = 2;
inline constexpr int kNotificationImageUpdate = 3;

// The standard popup images (32 x 32) under the names "Notification_Info",
// "Notification_Warning", "Notification_Error" and "Notification_Update", at
// the indices above.
std::unique_ptr<TLumoImageList> MakeNotificationImageList();

// The popup notifications near the notification area. One manager lives from
// program start to exit; while it lives it is the one the free functions below
// use, so a test builds its own and tears it down.
//
// Popups stack upwards from the bottom-right corner of the free screen area
// (WorkAreaRect), 10 pixels apart; a full column opens a new one to its left.
class TLumoNotificationSettings : public QObject {
    Q_OBJECT
public:
    explicit TLumoNotificationSettings(QObject* parent = nullptr);
    ~TLumoNotificationSettings() override;

    static TLumoNotificationSettings* Current();

    void SetDefaultFormSize(int nWidth, int nHeight, int nTopBegin);
    void SetFonts(const QFont& nTitle, const QFont& nText);
    // No popup opens any more, and closing no longer re-stacks (program exit).
    void NowDestroy();

    // Places one popup, or every listed one in list order when given none.
    void PlaceNotifications(TNotification* nOnly);
    // Closes one popup: out of the list, its window and record destroyed.
    void CloseNotification(TNotification* note);
    // What the re-stacking timer runs every 6 seconds: the gaps left by closed
    // popups are filled by the ones above them.
    void RestackAll();

    bool pDontUseTitleLabel = true;
    QFont fntTitle;
    QFont fntText;
    int dftTop = 8;
    int dftWidth = 318;
    int dftHeight = 118;
    QList<TNotification*> NotificationList; // the open popups, in the order shown
    // The images the popups show (not owned; the standard list until a caller
    // sets its own; none shows no image).
    const TLumoImageList* pMainImageList = nullptr;
    // The look of the popups' links (not owned; a plain style until set).
    TLumo_Link_Style* pLinkStyle = nullptr;
    // Enabled exactly while popups are open.
    QTimer pSetNewPositionTimer;
    bool pNowRebuildPosition = false;
    bool pNowDestroy = false;
    QString pAppName;
    int fDefaultShowTime = 5;

    // Opens a popup for a filled record (taken over; deleted when not shown).
    void Show(TNotification* note);

private:
    std::unique_ptr<TLumoImageList> fStandardImages;
    std::unique_ptr<TProgramLinkStyle> fPlainLinkStyle;
};

// One open popup's data; it leaves NotificationList when its popup closes.
struct TNotification {
    QString Title;
    QString Text;
    QString LinkText;
    int Time = 0; // seconds until it closes by itself; 0 stays open
    int ImgIndex = 0;
    int LinkImgIndex = 0;
    int LinkTag = 0;
    std::function<void(TNotification&)> LinkClick;
    // Its screen position once placed (0 = not placed yet) and its window size.
    int PosX = 0;
    int PosY = 0;
    int frmWidth = 0;
    int frmHeight = 0;
    QPointer<tfm_NotificationForm> ReportForm;
};

// Time -1: the manager's default show time; 0: stays until closed.
void ShowNotification(const QString& Title, const QString& Text, int ImgIndex, int Time);
void ShowLinkNotification(const QString& Title, const QString& Text, const QString& LinkText, int ImgIndex,
                          int LinkImgIndex, int Time, int LinkTag, std::function<void(TNotification&)> LinkClick);
void HideAllNotifies();
