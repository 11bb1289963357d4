// The window helpers: the free area can be replaced exactly, text widths follow
// the font, and check boxes fit their captions.

#include "gui/util/window_helpers.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <gtest/gtest.h>

TEST(WindowHelpers, WorkAreaCanBeReplacedAndComesBack) {
    const QRect screen = WorkAreaRect();
    EXPECT_FALSE(screen.isEmpty());
    {
        TScopedWorkArea area(QRect(0, 0, 1920, 1040));
        EXPECT_EQ(WorkAreaRect(), QRect(0, 0, 1920, 1040));
        {
            TScopedWorkArea inner(QRect(0, 40, 800, 560));
            EXPECT_EQ(WorkAreaRect(), QRect(0, 40, 800, 560));
        }
        EXPECT_EQ(WorkAreaRect(), QRect(0, 0, 1920, 1040));
    }
    EXPECT_EQ(WorkAreaRect(), screen);
}

TEST(WindowHelpers, TextWidthGrowsWithTextAndFont) {
    const QFont small = MakeFont(QStringLiteral("Sans"), 8);
    const QFont large = MakeFont(QStringLiteral("Sans"), 16, fsBold);
    EXPECT_EQ(TextWidthOf(QString(), small), 0);
    EXPECT_GT(TextWidthOf(QStringLiteral("Settings"), small), 0);
    EXPECT_GT(TextWidthOf(QStringLiteral("Settings archive"), small), TextWidthOf(QStringLiteral("Settings"), small));
    EXPECT_GT(TextWidthOf(QStringLiteral("Settings"), large), TextWidthOf(QStringLiteral("Settings"), small));
    EXPECT_EQ(TextWidthOf(QStringLiteral("Settings"), large), QFontMetrics(large).horizontalAdvance("Settings"));
}

TEST(WindowHelpers, MakeFontSetsEveryProperty) {
    const QFont font = MakeFont(QStringLiteral("Tahoma"), 12, fsBold | fsItalic | fsUnderline);
    EXPECT_EQ(font.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(font.pointSize(), 12);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.strikeOut());
}

TEST(WindowHelpers, CheckBoxesAndRadioButtonsFitTheirCaptions) {
    QWidget container;
    auto* check = new QCheckBox(QStringLiteral("Use the recycle bin for deleted files"), &container);
    auto* radio = new QRadioButton(QStringLiteral("Daily"), &container);
    auto* button = new QPushButton(QStringLiteral("Apply"), &container);
    button->resize(100, 24);
    auto* nested = new QWidget(&container);
    auto* inner = new QCheckBox(QStringLiteral("Inner"), nested);
    inner->resize(300, 20);
    check->resize(10, 20);
    FitCheckBoxWidths(&container);
    EXPECT_EQ(check->width(), TextWidthOf(check->text(), container.font(), &container) + 22);
    EXPECT_EQ(radio->width(), TextWidthOf(radio->text(), container.font(), &container) + 22);
    EXPECT_EQ(check->height(), 20);
    EXPECT_EQ(button->width(), 100);  // not a check box
    EXPECT_EQ(inner->width(), 300);   // not directly in the container
}

TEST(WindowHelpers, FreeAllComponentsDestroysTheChildren) {
    QWidget container;
    QPointer<QLabel> label = new QLabel(&container);
    QPointer<QWidget> panel = new QWidget(&container);
    FreeAllComponents(&container);
    EXPECT_TRUE(label.isNull());
    EXPECT_TRUE(panel.isNull());
    EXPECT_TRUE(container.children().isEmpty());
}
