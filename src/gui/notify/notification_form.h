#pragma once

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

struct TNotification;
class TLumoNotificationSettings;
class TLumo_Link;

// One popup window: image, title (in the caption or as a label), wrapped text
// and an optional link; it closes itself after its time unless that is 0.
class tfm_NotificationForm : public QWidget {
    Q_OBJECT
public:
    tfm_NotificationForm(TLumoNotificationSettings& manager, TNotification& report);
    ~tfm_NotificationForm() override;

    // Starts the auto-close timer when the popup has a time.
    void StartCloseTimer();

    TNotification* Report = nullptr;
    QPointer<QLabel> LabelTitle;
    QPointer<QLabel> LabelText;
    TLumo_Link* lnkMain = nullptr;
    QPointer<QLabel> pImage;
    QTimer tmrClose;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LinkClicked();
    void GrowTo(int bottom);
    TLumoNotificationSettings& fManager;
};
