#pragma once

#include "profiles/enums.h"

#include <QString>
#include <QStringList>

class IniDocument;
class TBackupTask;

// A kind's task object (TLumo_Sync, TLumo_Zip, TLumo_FolderZip) as the engine
// shell sees it: the profile, the task queue, the composition root and the
// settings writer reach the kind only through this, so none of them needs to
// know which kind a profile is. Main thread only.
class ITaskObject {
public:
    virtual ~ITaskObject() = default;

    // The texts and values of the profile's row.
    virtual const QString& Title() const = 0;
    // The status line without the error ("Status: wait").
    virtual const QString& StatusText() const = 0;
    // The row's third line (last run or result) for the profile's queue state.
    virtual const QString& RowResultText(TTaskStatus queueState) const = 0;
    virtual quint8 Progress() const = 0;
    // The overall progress; 0 for a kind that has one progress value only.
    virtual quint8 ProgressFull() const = 0;
    virtual TLumo_Error LastError() const = 0;
    // The last error as the row shows it after the status; empty for feNone.
    virtual const QString& LastErrorText() const = 0;
    // Rebuilds the texts that depend on the language and the current day.
    virtual void RefreshTexts() = 0;
    // Whether the kind keeps a result window, whose link controls go when
    // the profile is deleted.
    virtual bool HasResultWindow() const { return false; }

    // The queue's hooks.
    // A run is about to be queued: the task object shows it as queued with the
    // statistics of its last run cleared. False, nothing changed, when the
    // kind refuses it (busy already, or an analysis the kind has not).
    virtual bool PrepareRun(bool nOnlyScan) = 0;
    // A queued run was taken out before it started: back to idle.
    virtual void ResetUnqueued() = 0;
    // Asked while the run's end routine calls Finished: whether the run that
    // has just ended is queued once more.
    virtual bool RetriesFailedRun(const TBackupTask& run) const = 0;
    // The start routine of the run at the head of the queue: makes the
    // worker, hands it to run with SetThread and starts it.
    virtual void StartRun(TBackupTask& run) = 0;

    // What the settings writer stores of the kind.
    // The file exclusion masks (section uid + "_Ex").
    virtual const QStringList& ExcludeList() const = 0;
    // The list entry, the settings and the kind's own lists (stProfile).
    virtual void WriteProfile(IniDocument& ini) const = 0;
    // What runs record beside the settings (stZipFileversion); nothing for
    // a kind that records nothing.
    virtual void WriteRunRecords(IniDocument& ini) const = 0;

protected:
    ITaskObject() = default;
    ITaskObject(const ITaskObject&) = delete;
    ITaskObject& operator=(const ITaskObject&) = delete;
};
