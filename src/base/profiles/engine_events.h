#pragma once

#include "profiles/display_record.h"
#include "profiles/enums.h"
#include "profiles/folder_result_row.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

// One row of a sync profile's result list as a window shows it: copied values
// only, so that nothing a run still changes is handed out.
struct TResultRow {
    quint32 Id = 0;   // the entry's number in its run, by which later events name the row
    QString Path;     // relative to the folder of its side
    bool IsFolder = false;
    // flsToDelete is an entry of the storage side; every other status one of the source side.
    TLumo_FileStatus Status = TLumo_FileStatus::flsNone;
    qint64 Size = 0;  // bytes; 0 for folders
    bool Error = false;

    bool operator==(const TResultRow&) const = default;
};

// The size as a result list shows it (empty for a folder), made only where a row is shown.
QString ResultSizeText(const TResultRow& row);

enum class TNotifyKind { nkInfo, nkWarning, nkError };

Q_DECLARE_METATYPE(TGL_Profile)
Q_DECLARE_METATYPE(TResultRow)
Q_DECLARE_METATYPE(TNotifyKind)

// What the engine tells whoever shows it (the windows, the command-line tool,
// the tests): value snapshots emitted on the main thread. Subscribers connect
// and disconnect as they like; the engine never holds on to one of them.
class TEngineEvents : public QObject {
    Q_OBJECT
public:
    explicit TEngineEvents(QObject* parent = nullptr);

signals:
    // The row values of a profile changed (texts, queue state, progress).
    void profileChanged(const QString& uid, const TGL_Profile& row);
    // The profile is about to go; its UID is still found when this arrives.
    void profileAboutToBeRemoved(const QString& uid);

    // A sync profile's result list: emptied at the start of a run, then
    // filled by its analysis between a begin and an end of an update batch
    // (always paired), then rows go as they are done or change as they fail.
    void resultRowsCleared(const QString& uid);
    void resultUpdateBegun(const QString& uid);
    void resultUpdateEnded(const QString& uid);
    void resultRowsAdded(const QString& uid, const QList<TResultRow>& rows);
    void resultRowsChanged(const QString& uid, const QList<TResultRow>& rows);
    void resultRowsRemoved(const QString& uid, const QList<quint32>& ids);

    // The task queue: whether a run is under way and how many runs it holds
    // (the running one included).
    void queueStateChanged(bool running, int count);

    // A message for the user that asks nothing.
    void notify(const QString& title, const QString& text, TNotifyKind kind);

    // A folder archiving profile's result list, a row per subfolder element:
    // a row is added when its element joins the list (loaded or found by a
    // scan), changes with its state, progress, error, text or mark, and goes
    // with resultRowsRemoved (by Id) when its element leaves the list. A row
    // is always added before it changes or goes.
    void folderZipRowsAdded(const QString& uid, const QList<TFolderZipRow>& rows);
    void folderZipRowsChanged(const QString& uid, const QList<TFolderZipRow>& rows);
    // A sync or folder archiving profile is being deleted: its result window
    // drops its link controls. Comes after profileAboutToBeRemoved, while the
    // profile is still found.
    void resultLinksRemoved(const QString& uid);
};
