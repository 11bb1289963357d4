#pragma once

#include <QStyledItemDelegate>

// Paints one profile row of the main window: 80 pixels high, the action image
// at the left, title, status and last-run lines, the schedule clock and, while
// the profile runs, its two progress bars.
class TProfileRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 80;
    // The leftmost pixels of a row that act as its action button.
    static constexpr int kActionButtonWidth = 25;
    static constexpr int kTextLeft = 38;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the two bars lie in a row's rectangle (length at 100 percent).
    static QRect FullProgressBarRect(const QRect& row);
    static QRect ProgressBarRect(const QRect& row);
};
