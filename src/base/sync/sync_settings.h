#pragma once

#include "util/date_time.h"

#include <QString>
#include <QStringList>

// Carries a sync profile's settings between the task object and the loader or
// the profile editor.
struct TSyncSettings {
    // Taken over only when fSetLastActive is set (the loader does, the editor does not).
    TDateTime fLastActive = 0;
    bool fSetLastActive = false;
    bool nAutoMode = false;
    int nBigFileSize = 2000; // MiB
    bool nCheckSizeAndDate = true;
    bool nDeleteToRecycle = true;
    QString nDiskSourceID;
    QString nDiskStorageID;
    QStringList nExcludeList;
    bool nSkipBigFiles = false;
    bool nSkipHidden = false;
    QString nTitle;
    // Folder pairs as alternating lines: source 1, storage 1, source 2, storage 2, ...
    QStringList nValueList;

    bool operator==(const TSyncSettings&) const = default;
};
