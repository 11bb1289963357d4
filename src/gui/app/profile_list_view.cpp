#include "gui/app/profile_list_view.h"

#include "gui/app/profile_list_model.h"
#include "gui/app/profile_row_delegate.h"

#include <QDrag>

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <algorithm>

namespace {
// A drop this close to a row's bottom edge goes after the row, otherwise before it.
constexpr int kDropAfterZone = 40;
// Only this list's own rows are dropped here: they travel as UIDs under a type of their own.
const QString kRowsMime = QStringLiteral("application/x-norvane-profile-rows");
} // namespace

TProfileListView::TProfileListView(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setMouseTracking(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    viewport()->setAttribute(Qt::WA_Hover);
}

void TProfileListView::SetProfileModel(TProfileListModel* model) {
    fModel = model;
    setModel(model);
    fSelectionOrder.clear();
    if (!model)
        return;
    const auto prune = [this] {
        const qsizetype before = fSelectionOrder.size();
        fSelectionOrder.removeIf([this](const QString& uid) { return !fModel || fModel->RowOf(uid) < 0; });
        if (fSelectionOrder.size() != before)
            emit selectionOrderChanged();
    };
    connect(model, &QAbstractItemModel::rowsRemoved, this, prune);
    connect(model, &QAbstractItemModel::modelReset, this, prune);
}

bool TProfileListView::InActionButton(const QPoint& pos, QString* uid) const {
    const QModelIndex index = indexAt(pos);
    if (!index.isValid() || pos.x() - visualRect(index).left() >= TProfileRowDelegate::kActionButtonWidth)
        return false;
    if (uid)
        *uid = index.data(TProfileListModel::UIDRole).toString();
    return true;
}

void TProfileListView::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    QString uid;
    if (event->button() == Qt::LeftButton && InActionButton(event->position().toPoint(), &uid))
        emit actionButtonClicked(uid);
}

void TProfileListView::mouseMoveEvent(QMouseEvent* event) {
    if (InActionButton(event->position().toPoint(), nullptr))
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
    QListView::mouseMoveEvent(event);
}

void TProfileListView::leaveEvent(QEvent* event) {
    viewport()->unsetCursor();
    QListView::leaveEvent(event);
}

void TProfileListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    if (event->button() != Qt::LeftButton || !index.isValid())
        return;
    // On the action button the press of this double click has toggled already.
    if (InActionButton(pos, nullptr))
        return;
    emit rowDoubleClicked(index.data(TProfileListModel::UIDRole).toString());
}

void TProfileListView::startDrag(Qt::DropActions) {
    if (fSelectionOrder.isEmpty())
        return;
    auto* mime = new QMimeData;
    mime->setData(kRowsMime, fSelectionOrder.join(QLatin1Char('\n')).toUtf8());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    // The drop reorders the rows itself; whatever the drag reports, nothing is removed here.
    drag->exec(Qt::MoveAction);
}

void TProfileListView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(kRowsMime))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TProfileListView::dragMoveEvent(QDragMoveEvent* event) {
    QListView::dragMoveEvent(event);
    if (event->mimeData()->hasFormat(kRowsMime))
        event->acceptProposedAction();
    else
        event->ignore();
}

QString TProfileListView::DropTarget(const QPoint& pos, bool* after) const {
    QModelIndex target = indexAt(pos);
    if (!target.isValid() && fModel && fModel->rowCount() > 0) {
        // Below the last row: after the last row.
        target = fModel->index(fModel->rowCount() - 1);
        if (after)
            *after = true;
        return target.data(TProfileListModel::UIDRole).toString();
    }
    if (!target.isValid())
        return {};
    const QRect rect = visualRect(target);
    if (after)
        *after = rect.bottom() + 1 - pos.y() <= kDropAfterZone;
    return target.data(TProfileListModel::UIDRole).toString();
}

void TProfileListView::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(kRowsMime)) {
        event->ignore();
        return;
    }
    const QStringList moved =
        QString::fromUtf8(event->mimeData()->data(kRowsMime)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    bool after = false;
    const QString target = DropTarget(event->position().toPoint(), &after);
    event->setDropAction(Qt::MoveAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (!target.isEmpty())
        emit rowsDropped(moved, target, after);
}

void TProfileListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QListView::selectionChanged(selected, deselected);
    for (const QModelIndex& index : deselected.indexes())
        fSelectionOrder.removeAll(index.data(TProfileListModel::UIDRole).toString());
    // Rows selected together (a range) join in display order.
    QModelIndexList added = selected.indexes();
    std::sort(added.begin(), added.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& index : added) {
        const QString uid = index.data(TProfileListModel::UIDRole).toString();
        if (!fSelectionOrder.contains(uid))
            fSelectionOrder << uid;
    }
    // Rows that left the model leave the order too.
    if (fModel)
        fSelectionOrder.removeIf([this](const QString& uid) { return fModel->RowOf(uid) < 0; });
    emit selectionOrderChanged();
}
