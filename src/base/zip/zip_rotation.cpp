#include "zip/zip_task.h"

#include "settings/save_settings.h"
#include "util/path_delim.h"
#include "zip/zip_files.h"
#include "zip/zip_names.h"

#include <algorithm>

namespace {

QString FolderOf(const QString& path) { return path.left(path.lastIndexOf(kPathDelim) + 1); }

// The archive of a dropped version and its segments. An archive that cannot
// be deleted keeps its segments, so it stays whole.
void DeleteVersionFiles(const QString& fileName) {
    if (PathTaken(fileName)) {
        RemoveFileQuietly(fileName);
        if (PathTaken(fileName))
            return;
    }
    DeleteSplitVolumes(ArchiveBaseName(fileName), FolderOf(fileName));
}

} // namespace

void TLumo_Zip::FVUpdate(TSaveSettings* saver) {
    if (fFVType == TZipVersion::zvNone)
        return;
    TFileVersionList dropped;
    if (fFVType == TZipVersion::zvItems) {
        const auto surplus = static_cast<std::ptrdiff_t>(fFileVersionList.size()) - fFVValue;
        if (surplus > 0) {
            dropped.assign(fFileVersionList.begin(), fFileVersionList.begin() + surplus);
            fFileVersionList.erase(fFileVersionList.begin(), fFileVersionList.begin() + surplus);
        }
    } else {
        const TDateTime cutOff = DateTimeToMinute(CurrentTime() - fFVValue);
        for (auto i = fFileVersionList.size(); i-- > 0;) {
            if (DateTimeToMinute(fFileVersionList[i].FileDateTime) < cutOff) {
                dropped.push_back(fFileVersionList[i]);
                fFileVersionList.erase(fFileVersionList.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
    for (const TFileVersion& version : dropped) {
        // A list edited by hand may name one file twice; a file that a kept
        // version still names is not an old version.
        const bool stillKept = std::any_of(fFileVersionList.begin(), fFileVersionList.end(),
                                           [&](const TFileVersion& kept) { return kept.Filename == version.Filename; });
        if (!stillKept)
            DeleteVersionFiles(version.Filename);
    }
    if (saver)
        saver->AddNewTask(TSaveSetType::stZipFileversion, fUID);
}
