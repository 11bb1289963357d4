#pragma once

#include "app/app_context.h"

#include <QString>
#include <QStringList>

// The files beside the program and in the data folder that belong to the
// settings as a whole.
QString ProgramFolderOf(const TAppPaths& paths);
QString PortableMarkerPath(const TAppPaths& paths);

// What a reset of all settings deletes, where they exist: the settings file,
// the two downloaded installers and the portable marker.
QStringList ResetAllSettingsFiles(const TAppPaths& paths);

struct TResetResult {
    bool Ok = true;
    // The files that stayed, each with the system's reason.
    QStringList Failures;
};

// Deletes the files above and, only when all of them are gone, the autorun
// entry. The caller has set the settings lock before and keeps it set: a
// failed reset must not be written over by a later save pass.
TResetResult ResetAllSettings(const TAppPaths& paths);
