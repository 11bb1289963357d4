#pragma once

class TAppContext;
class TfrmMain;

// Points the main window's profile, general-settings and settings-archive
// commands at the profile editor and the settings commands.
void InstallEditorHooks(TfrmMain& window, TAppContext& context);
