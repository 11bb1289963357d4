#pragma once

#include "profiles/enums.h"
#include "util/date_time.h"

#include <QString>
#include <QStringList>

#include <vector>

// One direct subfolder of a folder archiving job's source folder.
struct TFolderZipElement {
    // The subfolder's name (no path), as the listing returned it.
    QString pFolder;
    // The newest last-write time of the subfolder and of everything below it
    // when it was last archived successfully; 0 when never.
    TDateTime pDateModified = 0;
    // Marked as excluded in the result list; not stored.
    bool pDisabled = false;
    // The same time found by the latest scan; 0 until a scan found it.
    TDateTime pNewDateModified = 0;
    quint8 pProgress = 0;
    // The latest attempt to archive it failed or was stopped.
    bool pError = false;
    QString pLastModifiedText;
    // The number of its row in the result list (TFolderZipRow::Id); 0 while
    // it has no row. Not stored.
    quint32 pNode = 0;
    TLumo_Operation pOperation = TLumo_Operation::fsNone;
    TLumo_FileStatus pZipState = TLumo_FileStatus::flsNone;
    // Segments besides the last one (name.Z01 ...) of its current archive.
    int pSpanCount = 0;
    // Number and total size of the files below it when it was last archived
    // successfully; -1 when not known (never archived, or an older settings file).
    qint64 pFileCount = -1;
    qint64 pTotalSize = -1;
    // The same found by the latest scan.
    qint64 pNewFileCount = -1;
    qint64 pNewTotalSize = -1;

    bool operator==(const TFolderZipElement&) const = default;
};

// Carries a folder archiving job's settings between the task object and the
// loader or the profile editor. Only the loader sets fReplaceElList and fSetLastActive.
struct TFolderZip_Settings {
    std::vector<TFolderZipElement> fElementsList;
    TDateTime fLastActive = 0;
    bool fReplaceElList = false;
    bool fSetLastActive = false;
    bool nCleanFolder = false;
    int nCompression = 7;
    bool nDeleteToRecycle = true;
    QString nDiskSourceID;
    QString nDiskStorageID;
    QStringList nExcludeFolderList;
    QStringList nExcludeList;
    QString nPassword;
    // True: nPassword is clear text just typed (empty removes the password).
    // False: nPassword is in stored form, or empty to keep the current one.
    bool nPasswordModified = false;
    QString nSaveToFolder;
    QString nSourceFolder;
    bool nSpanningEnabled = false;
    int nSpanningSizeValue = 1900; // MiB
    QString nTitle;

    bool operator==(const TFolderZip_Settings&) const = default;
};
