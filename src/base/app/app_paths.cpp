#include "app/app_paths.h"

#include "os/platform.h"
#include "util/path_delim.h"

#include <QFile>
#include <QFileInfo>

TAppPaths DefaultAppPaths(bool* portableMode) {
    const QChar delim = kPathDelim;
    const QString exe = QString::fromStdString(os::ExecutablePath());
    const QString programFolder = QFileInfo(exe).absolutePath() + delim;
    const bool portable = QFile::exists(programFolder + QStringLiteral("Backup.portable"));
    if (portableMode)
        *portableMode = portable;
    TAppPaths paths;
    paths.LangFolder = programFolder + QStringLiteral("Lang") + delim;
    paths.ProgramFolder = programFolder;
    paths.DataFolder = portable ? programFolder
                                : QString::fromStdString(os::UserConfigFolder()) + delim +
                                      QStringLiteral("Norvane Backup") + delim;
    return paths;
}
