#pragma once

#include "ini/ini_document.h"
#include "util/date_time.h"

#include <QString>

#include <vector>

// One archive of an archive backup that exists on disk, kept as a version.
struct TFileVersion {
    // Local time at which the run that wrote it finished.
    TDateTime FileDateTime = 0;
    // Full path of the archive (for a split archive, its last segment).
    QString Filename;

    bool operator==(const TFileVersion&) const = default;
};

// Oldest first.
using TFileVersionList = std::vector<TFileVersion>;

// The versions stored in section as "Name_k" / "DateTime_k", k = 0, 1, ...
// up to the first missing "Name_" key. Throws EConvertError for a time stamp
// that names an impossible date.
TFileVersionList ReadFileVersions(const IniDocument& ini, const QString& section);
// Erases section and writes the versions in list order, k counting from 0.
void WriteFileVersions(IniDocument& ini, const QString& section, const TFileVersionList& versions);
