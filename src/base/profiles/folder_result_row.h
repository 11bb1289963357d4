#pragma once

#include "profiles/enums.h"

#include <QMetaType>
#include <QString>

// One row of a folder archiving profile's result list, a subfolder of its
// source, as a window shows it: copied values only.
struct TFolderZipRow {
    quint32 Id = 0;         // the element's row number (its pNode), by which later events name the row
    QString Folder;         // the subfolder's name
    TLumo_FileStatus State = TLumo_FileStatus::flsNone;
    // fsZip while its archive is being written (the row then shows Progress).
    TLumo_Operation Operation = TLumo_Operation::fsNone;
    quint8 Progress = 0;    // 0 to 100
    bool Error = false;     // the latest attempt to archive it failed or was stopped
    QString ModifiedText;   // "Modified: %s"
    bool Disabled = false;  // marked as excluded

    bool operator==(const TFolderZipRow&) const = default;
};

Q_DECLARE_METATYPE(TFolderZipRow)
