#pragma once

#include "profiles/enums.h"

#include <QString>

#include <functional>

// The commands of the main window whose windows live elsewhere. Each is empty
// until its window exists; an empty one shows the popup "not available yet",
// so no command is ever hidden. Whoever builds such a window sets its hook
// where the main window is created (CreateMainWindow).
struct TMainWindowHooks {
    // A new profile of the kind; the editor calls TfrmMain::AddProfileRow when it saved one.
    std::function<void(TBackupClass kind)> NewProfile;
    std::function<void(const QString& uid)> EditProfile;
    std::function<void(const QString& uid)> EditScript;
    std::function<void(const QString& uid)> ShowResult;
    // Modal; the main window applies StayOnTop (and a changed language) afterwards.
    std::function<void()> GeneralSettings;
    std::function<void()> Scheduler;
    std::function<void()> BackupSettings;
    std::function<void()> RestoreSettings;
    std::function<void()> ResetSettings;
    // A visible update check; CheckUpdateRunning tells whether one runs now.
    std::function<void()> CheckUpdate;
    std::function<bool()> CheckUpdateRunning;
    // Stops every update check or download at shutdown.
    std::function<void()> StopUpdates;
    // The engine's part of closing; empty: ShutdownEngine. The resident
    // program puts its own here, which also closes its instance channel.
    std::function<void()> ShutdownEngine;
};
