#include "gui/ui/link_label.h"

#include <QKeyEvent>
#include <QMouseEvent>

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_Hover);
    ApplyFocusPolicy();
}

void TLinkLabel::SetReacting(bool reacting) {
    fReacting = reacting;
    ApplyFocusPolicy();
}

void TLinkLabel::SetFocusable(bool focusable) {
    fFocusable = focusable;
    ApplyFocusPolicy();
}

void TLinkLabel::ApplyFocusPolicy() {
    const bool takesFocus = fFocusable && fReacting;
    setFocusPolicy(takesFocus ? Qt::TabFocus : Qt::NoFocus);
    if (!takesFocus && hasFocus())
        clearFocus();
}

bool TLinkLabel::event(QEvent* event) {
    // Enter and Leave are read here rather than in enterEvent, so that a bare
    // QEvent of either type (as a window system may send) is taken as it is.
    if (fReacting && (event->type() == QEvent::Enter || event->type() == QEvent::Leave))
        emit hoverChanged(event->type() == QEvent::Enter);
    return QLabel::event(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (fReacting && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (fReacting && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        // Taken here, so that a dialog's default button does not answer the key too.
        event->accept();
        emit keyActivated();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TLinkLabel::focusInEvent(QFocusEvent* event) {
    ShowFocus(true);
    QLabel::focusInEvent(event);
}

void TLinkLabel::focusOutEvent(QFocusEvent* event) {
    ShowFocus(false);
    QLabel::focusOutEvent(event);
}

void TLinkLabel::ShowFocus(bool focused) {
    QFont shown = font();
    if (shown.underline() == focused)
        return;
    shown.setUnderline(focused);
    setFont(shown);
}
