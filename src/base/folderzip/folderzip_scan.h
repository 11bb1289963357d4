#pragma once

#include "util/date_time.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class TLumo_MegaScan;

// What a run finds of one direct subfolder of the source folder.
struct TSubfolderState {
    QString Name;
    // The newest last-write time (local time) of the subfolder and of every
    // file and folder below it that the exclusion masks leave in.
    TDateTime Newest = 0;
    qint64 FileCount = 0;
    qint64 TotalSize = 0;
    // Set when the subfolder, or a folder below it, could not be listed: its
    // state is then not known. Names the folder and the system's reason.
    QString Error;
};

struct TSourceScan {
    // The subfolders in the order the listing returned them.
    std::vector<TSubfolderState> Folders;
    // Set when the source folder itself could not be listed completely.
    QString Error;
    // The scan was stopped; what it holds is incomplete.
    bool Stopped = false;
};

// Lists the direct subfolders of source (ending with the separator) and
// measures each one in a single pass of the scanner: excludedUpper names
// (upper-cased) are skipped, and so is every name not in onlyUpper when that
// is given. fileMasks are the exclusion masks of the archives. Symbolic links
// in the source folder are not subfolders: they are never followed.
TSourceScan ScanSubfolders(TLumo_MegaScan& scan, const QString& source, const QStringList& excludedUpper,
                           const std::optional<QStringList>& onlyUpper, const QStringList& fileMasks);

// True when the subfolder needs a new archive: never archived, or its newest
// time differs to the second, or its file count or total size differs (an
// unknown stored count or size counts as a difference).
bool SubfolderChanged(TDateTime storedNewest, qint64 storedCount, qint64 storedSize, const TSubfolderState& now);
