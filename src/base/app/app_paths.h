#pragma once

#include "app/app_context.h"

// The data and language folders as the program finds them: the program's own
// folder when the marker "Backup.portable" lies beside it, otherwise the
// user's configuration folder + "Norvane Backup/". Languages always live in
// "Lang/" beside the program.
TAppPaths DefaultAppPaths(bool* portableMode = nullptr);
