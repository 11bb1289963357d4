#pragma once

#include <QLabel>

// The control a link shows its caption, sub-caption and image in: a label that
// reports the mouse entering and leaving it and a left click released over it,
// and, where it takes the keyboard focus, Enter, Return or Space. While it has
// the focus it underlines its text, so that a keyboard user sees where it is.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(QWidget* parent = nullptr);

    // A control that does not react (its link is disabled) ignores the mouse
    // and the keys and gives up the focus.
    void SetReacting(bool reacting);
    bool Reacting() const { return fReacting; }
    // Reached with Tab; a click does not take the focus from the window's list.
    void SetFocusable(bool focusable);

signals:
    void hoverChanged(bool over);
    void clicked();
    void keyActivated();

protected:
    bool event(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ApplyFocusPolicy();
    void ShowFocus(bool focused);

    bool fReacting = true;
    bool fFocusable = false;
};
