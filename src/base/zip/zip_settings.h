#pragma once

#include "util/date_time.h"
#include "zip/zip_versions.h"

#include <QString>
#include <QStringList>

// Version mode of an archive backup; the ordinal is stored ("FVType").
enum class TZipVersion { zvNone = 0, zvItems = 1, zvDates = 2 };

// One source item of an archive backup.
struct TZipElement {
    bool IsFolder = false;
    // A folder's path ends with the path separator.
    QString Fullname;

    bool operator==(const TZipElement&) const = default;
};

// Carries an archive backup's settings between the task object and the loader
// or the profile editor. Only the loader sets the three nSet... flags, so an
// edit never touches the versions, the version index or the last-run time.
struct TZip_Settings {
    int nFVLastIndex = 0;
    TFileVersionList nFileVersionList;
    TDateTime nLastActive = 0;
    bool nSetFVLastIndex = false;
    bool nSetFileVerList = false;
    bool nSetLastActive = false;
    int nCompression = 7;
    QString nDiskSourceID;
    QString nDiskStorageID;
    QStringList nExcludeList;
    QString nFilename;
    QString nFolder;
    // With nUseVersions: true for zvItems, false for zvDates.
    bool nItemsVersions = true;
    QString nPassword;
    // True: nPassword is clear text just typed (empty removes the password).
    // False: nPassword is in stored form, or empty to keep the current one.
    bool nPasswordModified = false;
    bool nSpanEn = false;
    int nSpanValue = 1900; // MiB
    QString nTitle;
    bool nUseVersions = false;
    // The items, two lines each: "1" for a folder or "0" for a file, then the full path.
    QStringList nValueList;
    int nVersionsValue = 30;

    bool operator==(const TZip_Settings&) const = default;
};
