#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

// The message box: a text over the band with one to three buttons, each
// giving its own modal result. Closing it with the close box (or Esc) gives
// Cancel (2). Button 2 can carry a countdown that keeps it locked for five
// seconds, for questions that must not be answered by a reflex.
class tfm_MessageBox : public QObject {
    Q_OBJECT
public:
    static constexpr int kWidth = 420;
    static constexpr int kHeight = 150;

    explicit tfm_MessageBox(QWidget* parent = nullptr);
    ~tfm_MessageBox() override;

    void SetFormTitle(const QString& title);
    void SetFormCaption(const QString& text);
    // Shows buttons 1 to WhatCount and places them in the band.
    void SetButtonsVisible(int WhatCount);
    // Button 1, 2 or 3 gets a caption and a modal result; other numbers nothing.
    void SetButton(int WhatButton, int mrResult, const QString& Caption);
    // Locks button 2 and counts down "Yes (5)" ... "Yes (1)" before unlocking it.
    void SetDownButton();
    // Shows the box modally; the modal result of the pressed button, or 2.
    int ShowModal();

    QPointer<QDialog> sForm;
    QPointer<QLabel> FLabelTitle;
    QPointer<QFrame> FPanelBig;
    QPointer<QFrame> FPanelLine;
    QTimer FTimer;
    QString FTimerButtonText;
    QPointer<QPushButton> Button1;
    QPointer<QPushButton> Button2;
    QPointer<QPushButton> Button3;

private:
    void CountdownTick();
    QPushButton* ButtonNumber(int number) const;
    int fVisibleButtons = 0;
    int fCountdown = 0;
    QPointer<QScrollArea> fTextArea;
};
