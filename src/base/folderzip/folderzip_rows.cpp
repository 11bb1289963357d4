#include "folderzip/folderzip_task.h"

#include "profiles/backup_profile.h"
#include "profiles/engine_events.h"
#include "profiles/engine_services.h"

namespace {

TFolderZipRow RowOf(const TFolderZipElement& element) {
    return TFolderZipRow{element.pNode,      element.pFolder, element.pZipState,         element.pOperation,
                         element.pProgress,  element.pError,  element.pLastModifiedText, element.pDisabled};
}

// The events of a task object's result list; null while nothing is shown
// (no profile yet, or the program closes).
TEngineEvents* ShownEvents(const TLumo_BackupProfile* profile) {
    if (!profile || profile->Context().AppClosing)
        return nullptr;
    return &profile->Context().Events();
}

} // namespace

void TLumo_FolderZip::AddRows(const std::vector<TFolderZipElement*>& elements) {
    TEngineEvents* events = ShownEvents(fLumoBackup);
    if (!events)
        return;
    QList<TFolderZipRow> rows;
    for (TFolderZipElement* element : elements)
        if (element && element->pNode == 0) {
            element->pNode = ++fLastRowId;
            rows << RowOf(*element);
        }
    if (!rows.isEmpty())
        emit events->folderZipRowsAdded(fUID, rows);
}

void TLumo_FolderZip::UpdateRows(const std::vector<TFolderZipElement*>& elements) {
    TEngineEvents* events = ShownEvents(fLumoBackup);
    if (!events)
        return;
    QList<TFolderZipRow> rows;
    for (const TFolderZipElement* element : elements)
        if (element && element->pNode != 0)
            rows << RowOf(*element);
    if (!rows.isEmpty())
        emit events->folderZipRowsChanged(fUID, rows);
}

void TLumo_FolderZip::UpdateAllRows() {
    std::vector<TFolderZipElement*> all;
    all.reserve(fElements.size());
    for (const auto& element : fElements)
        all.push_back(element.get());
    UpdateRows(all);
}

void TLumo_FolderZip::RemoveRows(const std::vector<TFolderZipElement*>& elements) {
    TEngineEvents* events = ShownEvents(fLumoBackup);
    if (!events)
        return;
    QList<quint32> ids;
    for (TFolderZipElement* element : elements)
        if (element && element->pNode != 0) {
            ids << element->pNode;
            element->pNode = 0;
        }
    if (!ids.isEmpty())
        emit events->resultRowsRemoved(fUID, ids);
}

QList<TFolderZipRow> TLumo_FolderZip::Rows() const {
    QList<TFolderZipRow> rows;
    for (const auto& element : fElements)
        if (element->pNode != 0)
            rows << RowOf(*element);
    return rows;
}

void TLumo_FolderZip::SetElementsExcluded(const QStringList& names, bool exclude) {
    std::vector<TFolderZipElement*> marked;
    for (const QString& name : names)
        if (TFolderZipElement* element = FindElement(name)) {
            element->pDisabled = exclude;
            marked.push_back(element);
        }
    UpdateRows(marked);
    UpdateExFolderList(exclude ? &names : nullptr, exclude ? nullptr : &names, false, false);
}
