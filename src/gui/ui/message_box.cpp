#include "gui/ui/message_box.h"

#include "gui/ui/dialog_frame.h"
#include "gui/ui/dialog_settings.h"
#include "gui/ui/standard_dialogs.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace {
constexpr int kTextLeft = 16;
constexpr int kTextTop = 16;
constexpr int kTextWidth = 380;
constexpr int kMessageButtonsLeft = 26;
constexpr int kCountdownStart = 6;
constexpr char kResultProperty[] = "norvaneModalResult";
} // namespace

tfm_MessageBox::tfm_MessageBox(QWidget* parent) {
    sForm = CreateDialogForm(QString(), kWidth, kHeight, parent);
    FPanelBig = AddBottomBand(sForm);
    FPanelLine = FPanelBig->findChild<QFrame*>(QStringLiteral("PanelLine"));

    FLabelTitle = new QLabel(sForm);
    FLabelTitle->setTextFormat(Qt::PlainText);
    FLabelTitle->setWordWrap(true);
    FLabelTitle->setGeometry(kTextLeft, kTextTop, kTextWidth, 0);

    int order = 0;
    for (QPointer<QPushButton>* slot : {&Button1, &Button2, &Button3}) {
        QPushButton* button = AddButton(FPanelBig, QString(), kDialogButtonTop, 0, kDialogButtonWidth);
        button->setObjectName(QStringLiteral("Button%1").arg(++order));
        // Enter presses the button that has the focus, as on any desktop; no
        // button is the fixed default.
        button->setAutoDefault(true);
        button->setDefault(false);
        button->setProperty(kResultProperty, mrCancel);
        connect(button, &QPushButton::clicked, sForm, [this, button] {
            sForm->done(button->property(kResultProperty).toInt());
        });
        *slot = button;
    }
    FTimer.setInterval(tfm_Settings::Current().pCountdownTickMs);
    connect(&FTimer, &QTimer::timeout, this, &tfm_MessageBox::CountdownTick);
    SetButtonsVisible(1);
}

tfm_MessageBox::~tfm_MessageBox() {
    FTimer.stop();
    delete sForm.data();
}

void tfm_MessageBox::SetFormTitle(const QString& title) {
    sForm->setWindowTitle(title);
}

void tfm_MessageBox::SetFormCaption(const QString& text) {
    FLabelTitle->setText(text);
    const int textHeight = FLabelTitle->heightForWidth(kTextWidth);
    const int room = kHeight - kDialogBandHeight - kTextTop - 8;
    if (textHeight <= room) {
        FLabelTitle->setGeometry(kTextLeft, kTextTop, kTextWidth, textHeight);
        return;
    }
    // The box keeps its size; a text longer than the room scrolls.
    if (!fTextArea) {
        fTextArea = new QScrollArea(sForm);
        fTextArea->setFrameShape(QFrame::NoFrame);
        fTextArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        fTextArea->setGeometry(kTextLeft, kTextTop, kWidth - kTextLeft - 4, room);
        fTextArea->setWidget(FLabelTitle);
        fTextArea->setBackgroundRole(QPalette::Window);
    }
    const int width = fTextArea->width() - fTextArea->verticalScrollBar()->sizeHint().width() - 4;
    FLabelTitle->resize(width, FLabelTitle->heightForWidth(width));
}

QPushButton* tfm_MessageBox::ButtonNumber(int number) const {
    switch (number) {
    case 1: return Button1;
    case 2: return Button2;
    case 3: return Button3;
    default: return nullptr;
    }
}

void tfm_MessageBox::SetButtonsVisible(int WhatCount) {
    fVisibleButtons = std::clamp(WhatCount, 1, 3);
    for (int number = 1; number <= 3; ++number)
        ButtonNumber(number)->setVisible(number <= fVisibleButtons);
    const bool leftSide = tfm_Settings::Current().st_LeftSide_Buttons;
    switch (fVisibleButtons) {
    case 1: PlaceBandButtons(sForm, {Button1}, leftSide, kMessageButtonsLeft); break;
    case 2: PlaceBandButtons(sForm, {Button1, Button2}, leftSide, kMessageButtonsLeft); break;
    default: PlaceBandButtons(sForm, {Button1, Button2, Button3}, leftSide, kMessageButtonsLeft); break;
    }
    for (int number = 1; number <= 3; ++number)
        ButtonNumber(number)->setVisible(number <= fVisibleButtons);
}

void tfm_MessageBox::SetButton(int WhatButton, int mrResult, const QString& Caption) {
    QPushButton* button = ButtonNumber(WhatButton);
    if (!button)
        return;
    button->setText(Caption);
    button->setProperty(kResultProperty, mrResult);
}

void tfm_MessageBox::SetDownButton() {
    FTimerButtonText = Button2->text();
    Button2->setEnabled(false);
    fCountdown = kCountdownStart;
    FTimer.setInterval(tfm_Settings::Current().pCountdownTickMs);
    FTimer.start();
    CountdownTick();
}

void tfm_MessageBox::CountdownTick() {
    --fCountdown;
    if (fCountdown > 0) {
        Button2->setText(QStringLiteral("%1 (%2)").arg(FTimerButtonText).arg(fCountdown));
        return;
    }
    FTimer.stop();
    Button2->setText(FTimerButtonText);
    Button2->setEnabled(true);
}

int tfm_MessageBox::ShowModal() {
    // The first button takes the focus once the window is up; a hidden
    // widget cannot hold it.
    sForm->setWindowModality(Qt::ApplicationModal);
    sForm->show();
    if (QPushButton* first = ButtonNumber(1))
        first->setFocus(Qt::OtherFocusReason);
    // The close box and Esc both end in reject(): Cancel.
    const int result = sForm->exec();
    return result == QDialog::Rejected ? mrCancel : result;
}
