#pragma once

#include <functional>

class QWidget;
class TAppContext;

// The main window's commands on the settings as a whole: each asks its
// questions and shows its messages here; the file work is in the engine
// (settings/settings_archive.h, app/settings_reset.h).

// Starts the program anew with "/FORCELOAD" and closes this instance.
void RestartProgram();

// Asks for the archive to write and writes it; a popup tells the result.
void SettingsBackup(TAppContext& context, QWidget* parent);

// Asks, takes an archive, checks it and replaces Backup.ini. On success the
// settings lock stays set and restart runs (RestartProgram when empty).
// Returns true when the settings were replaced.
bool SettingsRestore(TAppContext& context, QWidget* parent, const std::function<void()>& restart = {});

// Asks, then deletes the settings, the downloaded installers, the portable
// marker and the autorun entry, and restarts. A failure keeps the settings
// lock set until the program ends. Returns true when everything was removed.
bool ResetAllSettingsCommand(TAppContext& context, QWidget* parent, const std::function<void()>& restart = {});
