#pragma once

#include "profiles/enums.h"
#include "scripts/script_list.h"
#include "sync/sync_task.h"

#include <QString>
#include <QStringList>

#include <vector>

// What a sync run found so far: its error, its statistics and the text of its
// analysis. The worker hands a copy to the main thread, which takes it over
// into the task object (TLumo_Sync::TakeRunResults).
struct TSyncRunResults {
    TLumo_Error fLastError = TLumo_Error::feNone;
    qint64 fResultAllNewCopied = 0;
    qint64 fResultAllNewFiles = 0;
    qint64 fResultAllNewFilesSize = 0;
    qint64 fResultToDeleteFiles = 0;
    qint64 fResultToDeleteFilesSize = 0;
    QString fResultText;
};

// What one sync run works on, owned by its worker: a copy of the profile's
// settings, folder pairs and script lists taken on the main thread when the
// run is made, and the run's own results. Only the worker touches it, so
// editing or saving the profile meanwhile never meets a half-written value.
struct TSyncRunState : TSyncRunResults {
    std::vector<TSyncElement> fElementList;
    QStringList fExcludeList;
    QString fDiskSourceID;
    QString fDiskStorageID;
    bool fCanUseDriveSourceID = true;
    bool fCanUseDriveStorageID = true;
    bool fCheckDateAndSize = true;
    bool fDelToRecycle = true;
    bool fSkipBigFiles = false;
    bool fSkipHiddenSystem = false;
    int fBigFileSize = TLumo_Sync::kDefaultBigFileSize;
    TLumo_ScriptList fScriptsBefore;
    TLumo_ScriptList fScriptsAfter;

    TSyncRunResults Results() const { return *this; }
};
