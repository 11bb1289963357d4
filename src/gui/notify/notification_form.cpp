#include "gui/notify/notification_form.h"

#include "gui/images/image_list.h"
#include "gui/notify/notifications.h"
#include "gui/ui/link_controls.h"

#include <QCloseEvent>

namespace {
constexpr int kTextLeft = 48;
constexpr int kTextRightGap = 20;
constexpr int kBottomGap = 18;
constexpr int kTitleLabelHeight = 22;
constexpr int kImageLeft = 6;
constexpr int kImageSize = 32;
constexpr int kLinkGap = 10;
} // namespace

tfm_NotificationForm::tfm_NotificationForm(TLumoNotificationSettings& manager, TNotification& report)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      Report(&report), fManager(manager) {
    // A popup must not take the keyboard from whatever the user is typing in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(manager.dftWidth, manager.dftHeight);

    int textTop = manager.dftTop;
    if (manager.pDontUseTitleLabel) {
        setWindowTitle(QStringLiteral("%1 - %2 ").arg(manager.pAppName, report.Title));
    } else {
        setWindowTitle(manager.pAppName);
        LabelTitle = new QLabel(report.Title, this);
        LabelTitle->setFont(manager.fntTitle);
        LabelTitle->move(kTextLeft, manager.dftTop);
        LabelTitle->resize(width() - kTextLeft - kTextRightGap, LabelTitle->sizeHint().height());
        textTop += kTitleLabelHeight;
    }

    LabelText = new QLabel(report.Text, this);
    LabelText->setFont(manager.fntText);
    LabelText->setWordWrap(true);
    LabelText->setTextFormat(Qt::PlainText);
    const int textWidth = width() - kTextLeft - kTextRightGap;
    LabelText->setGeometry(kTextLeft, textTop, textWidth, LabelText->heightForWidth(textWidth));
    GrowTo(LabelText->geometry().bottom() + 1);

    pImage = new QLabel(this);
    pImage->setGeometry(kImageLeft, manager.dftTop, kImageSize, kImageSize);
    pImage->setAlignment(Qt::AlignCenter);
    if (manager.pMainImageList)
        pImage->setPixmap(manager.pMainImageList->Pixmap(report.ImgIndex));

    if (!report.LinkText.isEmpty() || report.LinkClick) {
        lnkMain = new TLumo_Link(manager.pLinkStyle, nullptr, report.LinkImgIndex);
        lnkMain->SetCaption(report.LinkText);
        lnkMain->SetOnClick([this](TLumo_Link&) { LinkClicked(); });
        lnkMain->Insert(this, QPoint(kTextLeft, LabelText->geometry().bottom() + 1 + kLinkGap));
        GrowTo(lnkMain->pTop + lnkMain->pHeight);
    }

    tmrClose.setSingleShot(true);
    connect(&tmrClose, &QTimer::timeout, this, [this] {
        tmrClose.stop();
        close();
    });
    setFixedSize(size());
}

tfm_NotificationForm::~tfm_NotificationForm() {
    if (lnkMain)
        lnkMain->Remove();
}

void tfm_NotificationForm::GrowTo(int bottom) {
    if (height() - bottom < kBottomGap)
        resize(width(), bottom + kBottomGap);
}

void tfm_NotificationForm::StartCloseTimer() {
    if (Report && Report->Time > 0)
        tmrClose.start(Report->Time * 1000);
}

void tfm_NotificationForm::LinkClicked() {
    TNotification* note = Report;
    if (!note)
        return;
    hide();
    if (note->LinkClick)
        note->LinkClick(*note);
    // The handler may have closed every popup itself (or the program may be
    // going down); only a popup still listed is closed here.
    if (!fManager.pNowDestroy && fManager.NotificationList.contains(note))
        fManager.CloseNotification(note);
}

void tfm_NotificationForm::closeEvent(QCloseEvent* event) {
    if (Report)
        fManager.CloseNotification(Report);
    event->accept();
}
