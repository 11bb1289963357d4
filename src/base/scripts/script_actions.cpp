#include "scripts/script_actions.h"

#include "util/drives.h"
#include "util/processes.h"
#include "util/shell_open.h"
#include "util/text_format.h"
#include "util/trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString Parameter(const TLumo_ProfileScript& action, const char* name) {
    return TrimBlanks(action.GetValue(QLatin1String(name)));
}

bool IsAbsolutePath(const QString& path) { return path.startsWith(QLatin1Char('/')); }

// A plain file in the broad sense: it exists (after following links) and is no folder.
bool IsExistingFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool IsExistingFolder(const QString& path) { return QFileInfo(path).isDir(); }

// Without a drive letter, a path's drive is the volume that holds it; a relative
// path has none and so never exists for a condition.
bool ExistsOnReadyVolume(const QString& path, bool folder) {
    if (!IsAbsolutePath(path) || !IsDriveReady(path))
        return false;
    return folder ? IsExistingFolder(path) : IsExistingFile(path);
}

// A folder that exists on the volume of its parent is not a drive: requiring the
// mount point itself keeps an unmounted disk's empty mount folder from counting.
bool IsMountedVolume(const QString& mountPoint) {
    const QString canonical = QFileInfo(mountPoint).canonicalFilePath();
    return !canonical.isEmpty() && MountPointOf(canonical) == canonical && IsDriveReady(canonical);
}

// The process table holds resolved executable paths, so a program configured
// through a link is also looked for under the path the link leads to.
bool IsProgramRunning(const QString& path) {
    if (IsAppRunning(path))
        return true;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() && canonical != QDir::cleanPath(path) && IsAppRunning(canonical);
}

bool ToRecycle(const TLumo_ProfileScript& action) { return Parameter(action, "ToRecycle") == QLatin1String("1"); }

} // namespace

qint64 PauseSeconds(const TLumo_ProfileScript& action) {
    return TextToInt64(action.GetValue(QStringLiteral("Pause")));
}

std::optional<bool> EvaluateCondition(const TLumo_ProfileScript& action) {
    switch (action.ActionType()) {
    case TActionType::taIfFileExists: {
        const QString file = Parameter(action, "File");
        return !file.isEmpty() && ExistsOnReadyVolume(file, false);
    }
    case TActionType::taIfFolderExists: {
        const QString folder = Parameter(action, "Folder");
        return !folder.isEmpty() && ExistsOnReadyVolume(folder, true);
    }
    case TActionType::taIfDriveExists: {
        const QString drive = Parameter(action, "Drive");
        if (!IsAbsolutePath(drive))
            return std::nullopt;
        return IsMountedVolume(drive);
    }
    case TActionType::taIfAppRunning: {
        const QString app = Parameter(action, "App");
        return !app.isEmpty() && IsProgramRunning(app);
    }
    case TActionType::taIfProcessRunning: {
        const QString process = Parameter(action, "Process");
        return !process.isEmpty() && IsProcessRunning(process);
    }
    default: return std::nullopt;
    }
}

void ExecuteAction(const TLumo_ProfileScript& action) {
    const QString file = Parameter(action, "File");
    if (file.isEmpty() || !IsExistingFile(file))
        return;
    if (action.GetValueBool(QStringLiteral("OnlyOneApp")) && IsProgramRunning(file))
        return;
    if (QFileInfo(file).isExecutable())
        StartProgram(file, action.GetValue(QStringLiteral("Cmd")), Parameter(action, "Folder"));
    else
        OpenWithShell(file);
}

void DeleteFileAction(const TLumo_ProfileScript& action) {
    const QString file = Parameter(action, "File");
    if (file.isEmpty() || !IsExistingFile(file))
        return;
    if (ToRecycle(action))
        MoveToTrash(QDir::cleanPath(file));
    else
        QFile::remove(file);
}

void DeleteFolderAction(const TLumo_ProfileScript& action) {
    const QString folder = Parameter(action, "Folder");
    if (folder.isEmpty() || !IsExistingFolder(folder))
        return;
    const QString path = QDir::cleanPath(folder);
    // Removing directly takes only an empty folder (rmdir): content is never
    // deleted for good by a script, and the folder's permissions stay as they are.
    if (ToRecycle(action))
        MoveToTrash(path);
    else
        QDir().rmdir(path);
}
