#pragma once

#include "profiles/display_record.h"

#include <QAbstractListModel>
#include <QHash>
#include <QStringList>

#include <vector>

class TEngineEvents;

// The rows of the main window: one per profile, each a copy of the profile's
// row values as the engine last sent them. The model holds no engine object;
// it follows the engine's events and names profiles by UID only.
class TProfileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The row's values (TGL_Profile) under this role; Qt::DisplayRole gives the title.
    static constexpr int RowValuesRole = Qt::UserRole + 1;
    static constexpr int UIDRole = Qt::UserRole + 2;

    explicit TProfileListModel(TEngineEvents& events, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

    // Binds a profile to a new row at the end (nothing for an empty or known UID).
    void AppendRow(const TGL_Profile& row);
    void Clear();

    // The UIDs of all rows in display order.
    QStringList UIDs() const;
    int RowOf(const QString& uid) const;
    const TGL_Profile* RowValues(int row) const;

    // Moves the rows named by `moved` (in that order, the target itself left
    // out) next to `target`: the first before or after it, each following one
    // before or after the row moved just before it. False when nothing moved.
    bool MoveRows(const QStringList& moved, const QString& target, bool after);

private:
    void OnProfileChanged(const QString& uid, const TGL_Profile& row);
    void OnProfileAboutToBeRemoved(const QString& uid);
    void Reindex(int from);

    std::vector<TGL_Profile> fRows;
    QHash<QString, int> fRowOfUID;
};
