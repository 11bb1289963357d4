#include "gui/util/window_helpers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>

namespace {

QRect ScreenWorkArea() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QRect(0, 0, 1024, 768);
    return screen->availableGeometry();
}

std::function<QRect()>& WorkAreaSource() {
    static std::function<QRect()> source = ScreenWorkArea;
    return source;
}

} // namespace

QRect WorkAreaRect() {
    return WorkAreaSource()();
}

TScopedWorkArea::TScopedWorkArea(const QRect& area) : fPrevious(WorkAreaSource()) {
    WorkAreaSource() = [area] { return area; };
}

TScopedWorkArea::~TScopedWorkArea() {
    WorkAreaSource() = fPrevious;
}

int TextWidthOf(const QString& text, const QFont& font, const QWidget* surface) {
    const QFontMetrics metrics = surface ? QFontMetrics(font, const_cast<QWidget*>(surface)) : QFontMetrics(font);
    return metrics.horizontalAdvance(text);
}

QFont MakeFont(const QString& name, int pointSize, unsigned style) {
    QFont font(name);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    font.setBold(style & fsBold);
    font.setItalic(style & fsItalic);
    font.setUnderline(style & fsUnderline);
    font.setStrikeOut(style & fsStrikeOut);
    return font;
}

void ApplyFont(QWidget* widget, const QFont& font, const QColor& colour) {
    if (!widget)
        return;
    widget->setFont(font);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void FitCheckBoxWidths(QWidget* container) {
    if (!container)
        return;
    for (QAbstractButton* button : container->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button))
            continue;
        const QString caption = QString(button->text()).remove(QLatin1Char('&'));
        button->resize(TextWidthOf(caption, container->font(), container) + 22, button->height());
    }
}

void FreeAllComponents(QWidget* container) {
    if (!container)
        return;
    const QObjectList children = container->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        delete *it;
}
