#pragma once

#include <QListView>
#include <QStringList>

class TProfileListModel;

// The main window's list of profile rows: the action button at each row's
// left edge, double click, and reordering by drag and drop. It decides what
// a person meant and says so by its signals; the window carries it out.
class TProfileListView : public QListView {
    Q_OBJECT
public:
    explicit TProfileListView(QWidget* parent = nullptr);

    void SetProfileModel(TProfileListModel* model);
    // The selected rows' UIDs in the order the user selected them.
    QStringList SelectedUIDs() const { return fSelectionOrder; }
    // Where a drop at this viewport point goes: the target row's UID (empty
    // when there is no row at all) and whether it goes after that row.
    QString DropTarget(const QPoint& viewportPos, bool* after) const;

signals:
    void actionButtonClicked(const QString& uid);
    void rowDoubleClicked(const QString& uid);
    void rowsDropped(const QStringList& moved, const QString& target, bool after);
    void selectionOrderChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    bool InActionButton(const QPoint& viewportPos, QString* uid) const;

    TProfileListModel* fModel = nullptr;
    QStringList fSelectionOrder;
};
