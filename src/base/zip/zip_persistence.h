#pragma once

#include "ini/ini_document.h"
#include "profiles/profile_kinds.h"
#include "profiles/profile_maker.h"
#include "zip/zip_settings.h"

#include <QString>

class TLumo_Zip;

// How the settings file holds archive backups: list section, UID prefix, sections and
// reader. The composition root registers it.
const TProfileKindInfo& ZipProfileKind();

// The settings of the archive backup uid as stored in the file, with the
// loader's flags set (versions, version index and last-run time taken over);
// keys that are missing or unreadable give their defaults. Throws
// EConvertError for a time stamp that names an impossible date.
TZip_Settings ReadZipSettings(const IniDocument& ini, const QString& uid);

// Creates through maker the archive backups named in "ZipList", in file order. An error stops
// the family: the profiles read before it stay, the rest is not created.
void LoadZip(const IniDocument& ini, const TProfileMaker<TLumo_Zip>& maker);

// A number of the settings record as the task object keeps it: in the key's
// range, otherwise the key's default.
int ClampedZipSetting(int TZip_Settings::*member, int value);

// The list entry, the settings keys of uid + "_st" and the items (section uid).
void WriteZipProfile(IniDocument& ini, const TLumo_Zip& zip);
// The recorded versions (section uid + "_Fv").
void WriteZipVersions(IniDocument& ini, const TLumo_Zip& zip);
