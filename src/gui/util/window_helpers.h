#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <functional>

class QFontMetrics;
class QWidget;

// Small conveniences the windows share: the free screen area, text widths and
// fonts.

// The screen's free area: the primary screen without the panels and docks
// the desktop reserves (on Windows, without the taskbar), so that popups and
// dialogs never sit under them. Its right and bottom edges are exclusive:
// right = x + width, bottom = y + height, as the placement rules count them.
QRect WorkAreaRect();

// Replaces the free area while it lives (tests give an exact screen) and puts
// the previous source back afterwards.
class TScopedWorkArea {
public:
    explicit TScopedWorkArea(const QRect& area);
    ~TScopedWorkArea();
    TScopedWorkArea(const TScopedWorkArea&) = delete;
    TScopedWorkArea& operator=(const TScopedWorkArea&) = delete;

private:
    std::function<QRect()> fPrevious;
};

// The width in pixels of text in font (on the screen the widget is on when
// one is given).
int TextWidthOf(const QString& text, const QFont& font, const QWidget* surface = nullptr);

// A font with these properties; style is a combination of the QFont weights
// and flags below.
enum TFontStyle : unsigned { fsNormalStyle = 0, fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
QFont MakeFont(const QString& name, int pointSize, unsigned style = fsNormalStyle);
// The same with a colour: a widget shows it through its palette.
void ApplyFont(QWidget* widget, const QFont& font, const QColor& colour);

// Every radio button and check box directly inside container gets the width of
// its caption in the container's font plus 22 pixels.
void FitCheckBoxWidths(QWidget* container);

// Destroys every child object of container, the last created first.
void FreeAllComponents(QWidget* container);
