#pragma once

#include "util/date_time.h"
#include "zip/zip_settings.h"

#include <QString>

#include <functional>

// Names of archives and of their split segments: the file-name template, the
// version index and the segment files beside an archive.

// The archive name for the moment now: the characters no file name may hold
// are removed ("\" among them; "/" stays and names subfolders of the target
// folder), %Y %M %D %H %N %S give the date and time (two digits except the
// year), %Q gives qValue, doubled separators collapse, the file name proper is
// cut to 245 characters and surrounding blanks are trimmed. The result always
// names a place inside the target folder: "." and ".." components and a
// leading separator are dropped.
QString ExpandNameTemplate(const QString& Template, const QString& QValue, TDateTime now = Now());

// The suffix of segment k of a split archive: ".z01" to ".z09", then ".z10", ".z100".
QString SplitVolumeSuffix(int k);

// Deletes Folder + BaseName + ".z01", ".z02", ... up to the first number that
// does not exist; every failure is ignored. The last segment (the archive's
// own name) is not touched. Folder ends with the path separator.
void DeleteSplitVolumes(const QString& BaseName, const QString& Folder);

// Renames the segments of OldBase to NewBase in Folder, suffix by suffix,
// replacing segments of NewBase that exist; false when any rename failed
// (the walk goes on).
bool RenameSplitVolumes(const QString& OldBase, const QString& NewBase, const QString& Folder);

// The file name of path without its folder and without its extension (the
// base of its segments).
QString ArchiveBaseName(const QString& path);

// The highest version index. The index only grows while the latest archive of
// a name still exists; past this it starts again at 1 (taken names are
// skipped), so it never overflows into a negative or repeated name.
inline constexpr int kMaxFVLastIndex = 999999999;

// A stored index outside 0 to kMaxFVLastIndex becomes 0: the plain name is
// tried first and taken names are skipped from there.
int ClampFVLastIndex(int index);

// True when every component of the name, relative to the target folder, fits
// the file system's limit of 255 bytes per name, with room left on the file
// name for the suffixes the run and the writer add to it (segments, the
// temporary names of the writer).
bool ArchiveNameFits(const QString& relativeName);

// Where a run writes its archive and the version index it leaves.
struct TArchiveTarget {
    QString Path;
    int FVLastIndex = 0;
};

// The target for the expanded name in realFolder (ending with the separator).
// Without versions it is the plain name. With versions the first archive of a
// name is the plain one; while the latest archive (fFVLastIndex) still exists
// the next index is taken: Backup.zip, Backup[1].zip, Backup[2].zip. A name
// that is taken by any file is never chosen with versions on, so a version
// cannot overwrite another one; Path is empty when every name is taken.
// exists tells whether a path is taken.
TArchiveTarget ChooseArchiveTarget(const QString& realFolder, const QString& expandedName, TZipVersion fvType,
                                   int fvLastIndex, const std::function<bool(const QString&)>& exists);
