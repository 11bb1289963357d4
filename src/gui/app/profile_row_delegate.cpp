#include "gui/app/profile_row_delegate.h"

#include "gui/app/profile_list_model.h"
#include "gui/images/program_images.h"
#include "profiles/display_record.h"
#include "profiles/engine_events.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kActionImageSize = 22;
constexpr int kClockSize = 16;
constexpr int kClockFromRight = 60;
constexpr int kClockTop = 15;
constexpr int kBarThickness = 3;

EProgramImage ActionImage(TTaskStatus status, bool active) {
    switch (status) {
    case TTaskStatus::tsQueue: return active ? EProgramImage::ActionWaitActive : EProgramImage::ActionWait;
    case TTaskStatus::tsRun: return active ? EProgramImage::ActionStopActive : EProgramImage::ActionStop;
    case TTaskStatus::tsNone: break;
    }
    return active ? EProgramImage::ActionStartActive : EProgramImage::ActionStart;
}

QColor Background(const QPalette& palette, bool selected, bool hover) {
    if (selected) {
        QColor c = palette.color(QPalette::Highlight);
        return hover ? c.lighter(108) : c;
    }
    const QColor base = palette.color(QPalette::Base);
    return hover ? palette.color(QPalette::AlternateBase).darker(103) : base;
}

QFont FontOfSize(const QFont& base, int points, bool bold = false) {
    QFont f(base);
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

void DrawText(QPainter& p, const QFont& font, int x, int top, int right, const QString& text) {
    p.setFont(font);
    const QFontMetrics metrics(font);
    const int width = std::max(0, right - x);
    p.drawText(QRect(x, top, width, metrics.height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               metrics.elidedText(text, Qt::ElideRight, width));
}

void DrawBar(QPainter& p, const QRect& full, int percent, const QColor& track, const QColor& fill) {
    p.fillRect(full, track);
    QRect done = full;
    done.setWidth(full.width() * std::clamp(percent, 0, 100) / 100);
    if (done.width() > 0)
        p.fillRect(done, fill);
}

} // namespace

QSize TProfileRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), kRowHeight};
}

QRect TProfileRowDelegate::FullProgressBarRect(const QRect& row) {
    return {row.left() + kTextLeft, row.bottom() + 1 - 11, row.width() - 51, kBarThickness - 1};
}

QRect TProfileRowDelegate::ProgressBarRect(const QRect& row) {
    return {row.left() + kTextLeft, row.bottom() + 1 - 8, row.width() - 51, kBarThickness};
}

void TProfileRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QVariant value = index.data(TProfileListModel::RowValuesRole);
    if (!value.canConvert<TGL_Profile>())
        return;
    const TGL_Profile row = value.value<TGL_Profile>();
    const QRect r = option.rect;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool hover = option.state.testFlag(QStyle::State_MouseOver);
    const QPalette& palette = option.palette;

    painter->save();
    painter->setClipRect(r);
    painter->fillRect(r, Background(palette, selected, hover));

    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QPixmap action = ProgramPixmap(ActionImage(row.tAction, selected), kActionImageSize, ratio);
    painter->drawPixmap(r.left() + (kActionButtonWidth - kActionImageSize) / 2 + 1,
                        r.top() + (kRowHeight - kActionImageSize) / 2, action);

    int textRight = r.right() - 8;
    if (row.bHaveCron) {
        const int clockLeft = r.right() + 1 - kClockFromRight;
        painter->drawPixmap(clockLeft, r.top() + kClockTop, ProgramPixmap(EProgramImage::ClockMark, kClockSize, ratio));
        textRight = clockLeft - 6;
    }

    const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    QColor dim = text;
    dim.setAlphaF(selected ? 0.85 : 0.7);
    painter->setPen(text);
    DrawText(*painter, FontOfSize(option.font, 12), r.left() + kTextLeft, r.top() + 13, textRight, row.txtTitle);
    painter->setPen(dim);
    const QFont small = FontOfSize(option.font, 8);
    DrawText(*painter, small, r.left() + kTextLeft, r.top() + 35, r.right() - 8, row.txtStatus);
    DrawText(*painter, small, r.left() + kTextLeft, r.top() + 50, r.right() - 8, row.txtLastSync);

    if (row.tAction == TTaskStatus::tsRun) {
        QColor track = palette.color(QPalette::Mid);
        track.setAlphaF(0.35);
        const QColor fill = selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Highlight);
        if (row.tClass != TBackupClass::bcZip)
            DrawBar(*painter, FullProgressBarRect(r), row.iFullProgress, track, fill.darker(125));
        DrawBar(*painter, ProgressBarRect(r), row.iProgress, track, fill);
    }

    painter->setPen(palette.color(QPalette::Mid));
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter->restore();
}
