#pragma once

#include "ini/ini_document.h"
#include "sync/sync_settings.h"

#include <QString>

class TAppContext;
class TLumo_Sync;

// The settings of the sync profile uid as stored in the file; keys that are
// missing or unreadable give their defaults. Throws EConvertError for a
// "LastActive" stamp that names an impossible date.
TSyncSettings ReadSyncSettings(const IniDocument& ini, const QString& uid);

// Creates the sync profiles named in "SyncList", in file order. An error stops
// the family: the profiles read before it stay, the rest is not created.
void LoadSync(TAppContext& context, const IniDocument& ini);

// The list entry, the settings keys of uid + "_st" and the folder pairs (section uid).
void WriteSyncProfile(IniDocument& ini, const TLumo_Sync& sync);
