#include "gui/app/profile_list_model.h"

#include "profiles/engine_events.h"

#include <algorithm>

TProfileListModel::TProfileListModel(TEngineEvents& events, QObject* parent) : QAbstractListModel(parent) {
    connect(&events, &TEngineEvents::profileChanged, this, &TProfileListModel::OnProfileChanged);
    connect(&events, &TEngineEvents::profileAboutToBeRemoved, this, &TProfileListModel::OnProfileAboutToBeRemoved);
}

int TProfileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fRows.size());
}

QVariant TProfileListModel::data(const QModelIndex& index, int role) const {
    const TGL_Profile* row = RowValues(index.row());
    if (!row || index.parent().isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole: return row->txtTitle;
    case RowValuesRole: return QVariant::fromValue(*row);
    case UIDRole: return row->sUID;
    default: return {};
    }
}

Qt::ItemFlags TProfileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

void TProfileListModel::AppendRow(const TGL_Profile& row) {
    if (row.sUID.isEmpty() || fRowOfUID.contains(row.sUID))
        return;
    const int at = static_cast<int>(fRows.size());
    beginInsertRows({}, at, at);
    fRows.push_back(row);
    fRowOfUID.insert(row.sUID, at);
    endInsertRows();
}

void TProfileListModel::Clear() {
    beginResetModel();
    fRows.clear();
    fRowOfUID.clear();
    endResetModel();
}

QStringList TProfileListModel::UIDs() const {
    QStringList uids;
    uids.reserve(static_cast<int>(fRows.size()));
    for (const TGL_Profile& row : fRows)
        uids << row.sUID;
    return uids;
}

int TProfileListModel::RowOf(const QString& uid) const { return fRowOfUID.value(uid, -1); }

const TGL_Profile* TProfileListModel::RowValues(int row) const {
    if (row < 0 || row >= static_cast<int>(fRows.size()))
        return nullptr;
    return &fRows[static_cast<size_t>(row)];
}

void TProfileListModel::OnProfileChanged(const QString& uid, const TGL_Profile& values) {
    const int row = RowOf(uid);
    if (row < 0)
        return;
    fRows[static_cast<size_t>(row)] = values;
    // One row's change: the view repaints it only when it is visible.
    const QModelIndex at = index(row);
    emit dataChanged(at, at);
}

void TProfileListModel::OnProfileAboutToBeRemoved(const QString& uid) {
    const int row = RowOf(uid);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    fRows.erase(fRows.begin() + row);
    fRowOfUID.remove(uid);
    Reindex(row);
    endRemoveRows();
}

void TProfileListModel::Reindex(int from) {
    for (int i = from; i < static_cast<int>(fRows.size()); ++i)
        fRowOfUID.insert(fRows[static_cast<size_t>(i)].sUID, i);
}

bool TProfileListModel::MoveRows(const QStringList& moved, const QString& target, bool after) {
    if (RowOf(target) < 0)
        return false;
    bool changed = false;
    QString anchor = target;
    for (const QString& uid : moved) {
        if (uid == target || RowOf(uid) < 0)
            continue;
        const int from = RowOf(uid);
        const int anchorRow = RowOf(anchor);
        // Qt's destination is the index before which the row lands, counted before the move.
        const int destination = after ? anchorRow + 1 : anchorRow;
        if (destination != from && destination != from + 1) {
            beginMoveRows({}, from, from, {}, destination);
            TGL_Profile row = std::move(fRows[static_cast<size_t>(from)]);
            fRows.erase(fRows.begin() + from);
            const int insertAt = destination > from ? destination - 1 : destination;
            fRows.insert(fRows.begin() + insertAt, std::move(row));
            Reindex(std::min(from, insertAt));
            endMoveRows();
            changed = true;
        }
        anchor = uid;
    }
    return changed;
}
