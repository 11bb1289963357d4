#pragma once

#include "ini/ini_document.h"
#include "profiles/profile_kinds.h"
#include "profiles/profile_maker.h"
#include "sync/sync_settings.h"

#include <QString>

class TLumo_Sync;

// How the settings file holds sync profiles: list section, UID prefix, sections and
// reader. The composition root registers it.
const TProfileKindInfo& SyncProfileKind();

// The settings of the sync profile uid as stored in the file; keys that are
// missing or unreadable give their defaults. Throws EConvertError for a
// "LastActive" stamp that names an impossible date.
TSyncSettings ReadSyncSettings(const IniDocument& ini, const QString& uid);

// Creates through maker the sync profiles named in "SyncList", in file order. An error stops
// the family: the profiles read before it stay, the rest is not created.
void LoadSync(const IniDocument& ini, const TProfileMaker<TLumo_Sync>& maker);

// A number of the settings record as the task object keeps it: in the key's
// range, otherwise the key's default.
int ClampedSyncSetting(int TSyncSettings::*member, int value);

// The list entry, the settings keys of uid + "_st" and the folder pairs (section uid).
void WriteSyncProfile(IniDocument& ini, const TLumo_Sync& sync);
