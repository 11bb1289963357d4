#pragma once

#include "ini/ini_document.h"

#include <QString>

class TAppContext;

// Reads the settings file into memory; a missing or unreadable file gives an
// empty document (every loader then keeps its defaults).
IniDocument ReadSettingsFile(const QString& path);

// One kind's profiles from its list section, made in this context's profile
// list, as the start-up load reads them.
void LoadSync(TAppContext& context, const IniDocument& ini);
void LoadZip(TAppContext& context, const IniDocument& ini);
void LoadFolderZip(TAppContext& context, const IniDocument& ini);

// Every profile's script lists, in list order, handed to the profile without a
// save request. An unexpected error ends the loading for the remaining profiles.
void LoadScripts(TAppContext& context, const IniDocument& ini);

// "Main": the global options and the stored profile order.
void LoadSettings(TAppContext& context, const IniDocument& ini);

// The whole start-up load in its fixed order: the options, the language, the
// profiles of each registered kind in registration order (sync, zip, folder
// zip), the scripts, the schedule. A family that meets an error stops there
// and keeps what it has read; the next goes on.
void LoadAllSettings(TAppContext& context);
