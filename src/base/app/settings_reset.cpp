#include "app/settings_reset.h"

#include "os/platform.h"
#include "util/autorun.h"
#include "util/path_delim.h"

#include <QFile>
#include <QFileInfo>

QString ProgramFolderOf(const TAppPaths& paths) {
    if (!paths.ProgramFolder.isEmpty())
        return paths.ProgramFolder;
    return QFileInfo(QString::fromStdString(os::ExecutablePath())).absolutePath() + kPathDelim;
}

QString PortableMarkerPath(const TAppPaths& paths) {
    return ProgramFolderOf(paths) + QStringLiteral("Backup.portable");
}

QStringList ResetAllSettingsFiles(const TAppPaths& paths) {
    const QString updates = ProgramFolderOf(paths) + QStringLiteral("Update") + kPathDelim;
    return {paths.SettingsFile(), updates + QStringLiteral("Setup.exe"), updates + QStringLiteral("Setup_Beta.exe"),
            PortableMarkerPath(paths)};
}

TResetResult ResetAllSettings(const TAppPaths& paths) {
    TResetResult result;
    for (const QString& path : ResetAllSettingsFiles(paths)) {
        const QFileInfo info(path);
        // exists() follows links; a dangling link is still an entry to delete.
        if (!info.exists() && !info.isSymLink())
            continue;
        QFile file(path);
        if (!file.remove()) {
            result.Ok = false;
            result.Failures << path + QStringLiteral(": ") + file.errorString();
        }
    }
    if (!result.Ok)
        return result;
    // The old registry values of the data location have no counterpart here;
    // the start-up entry is the one thing outside these folders.
    SetAutorun(kAutorunName, kAutorunArgument, true);
    return result;
}
