#include "folderzip/folderzip_result_list.h"

#include "folderzip/folderzip_task.h"
#include "profiles/engine_events.h"

TFolderZipResultList::TFolderZipResultList(TEngineEvents& events, const TLumo_FolderZip& task)
    : fUID(task.UID()), fRows(task.Rows()) {
    const auto ours = [this](const QString& uid) { return uid == fUID && !fProfileRemoved; };
    QObject::connect(&events, &TEngineEvents::folderZipRowsAdded, &fReceiver,
                     [this, ours](const QString& uid, const QList<TFolderZipRow>& rows) {
                         if (ours(uid))
                             Added(rows);
                     });
    QObject::connect(&events, &TEngineEvents::folderZipRowsChanged, &fReceiver,
                     [this, ours](const QString& uid, const QList<TFolderZipRow>& rows) {
                         if (ours(uid))
                             Changed(rows);
                     });
    QObject::connect(&events, &TEngineEvents::resultRowsRemoved, &fReceiver,
                     [this, ours](const QString& uid, const QList<quint32>& ids) {
                         if (ours(uid))
                             Removed(ids);
                     });
    QObject::connect(&events, &TEngineEvents::resultLinksRemoved, &fReceiver, [this](const QString& uid) {
        if (uid == fUID)
            fHasLinks = false;
    });
    QObject::connect(&events, &TEngineEvents::profileAboutToBeRemoved, &fReceiver, [this](const QString& uid) {
        if (uid != fUID)
            return;
        fProfileRemoved = true;
        fRows.clear();
    });
}

const TFolderZipRow* TFolderZipResultList::Row(quint32 id) const {
    const qsizetype i = IndexOf(id);
    return i < 0 ? nullptr : &fRows[i];
}

qsizetype TFolderZipResultList::IndexOf(quint32 id) const {
    for (qsizetype i = 0; i < fRows.size(); ++i)
        if (fRows[i].Id == id)
            return i;
    return -1;
}

void TFolderZipResultList::Added(const QList<TFolderZipRow>& rows) {
    for (const TFolderZipRow& row : rows) {
        if (row.Id == 0 || IndexOf(row.Id) >= 0) {
            fFaults << QStringLiteral("row %1 (%2) added twice or without a number").arg(row.Id).arg(row.Folder);
            continue;
        }
        fRows << row;
    }
}

void TFolderZipResultList::Changed(const QList<TFolderZipRow>& rows) {
    for (const TFolderZipRow& row : rows) {
        const qsizetype i = IndexOf(row.Id);
        if (i < 0)
            fFaults << QStringLiteral("row %1 (%2) changed but not listed").arg(row.Id).arg(row.Folder);
        else
            fRows[i] = row;
    }
}

void TFolderZipResultList::Removed(const QList<quint32>& ids) {
    for (quint32 id : ids) {
        const qsizetype i = IndexOf(id);
        if (i < 0)
            fFaults << QStringLiteral("row %1 removed but not listed").arg(id);
        else
            fRows.removeAt(i);
    }
}
