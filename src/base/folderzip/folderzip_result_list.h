#pragma once

#include "profiles/folder_result_row.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class TEngineEvents;
class TLumo_FolderZip;

// A folder archiving profile's result list kept as a window keeps it, from
// the engine events alone: the rows listed now, in list order, and whether
// the window still has its link controls. No widgets; the command-line tool
// and the tests use it, and a window can be checked against it.
class TFolderZipResultList {
public:
    // Starts from the rows the task object lists now and follows its events.
    TFolderZipResultList(TEngineEvents& events, const TLumo_FolderZip& task);
    TFolderZipResultList(const TFolderZipResultList&) = delete;
    TFolderZipResultList& operator=(const TFolderZipResultList&) = delete;

    const QList<TFolderZipRow>& Rows() const { return fRows; }
    // The row of the given number, or null.
    const TFolderZipRow* Row(quint32 id) const;
    bool HasLinks() const { return fHasLinks; }
    // The profile went (its rows with it).
    bool ProfileRemoved() const { return fProfileRemoved; }
    // Events a window could not apply: a row added twice or without a number,
    // a row changed or removed that is not listed. Empty when none.
    const QStringList& Faults() const { return fFaults; }

private:
    void Added(const QList<TFolderZipRow>& rows);
    void Changed(const QList<TFolderZipRow>& rows);
    void Removed(const QList<quint32>& ids);
    qsizetype IndexOf(quint32 id) const;

    QString fUID;
    QList<TFolderZipRow> fRows;
    bool fHasLinks = true;
    bool fProfileRemoved = false;
    QStringList fFaults;
    // Owns the connections: they end with the list.
    QObject fReceiver;
};
