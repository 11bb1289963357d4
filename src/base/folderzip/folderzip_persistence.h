#pragma once

#include "folderzip/folderzip_settings.h"
#include "ini/ini_document.h"
#include "profiles/profile_kinds.h"
#include "profiles/profile_maker.h"

#include <QString>

class TLumo_FolderZip;

// How the settings file holds folder archiving jobs: list section, UID prefix, sections and
// reader. The composition root registers it.
const TProfileKindInfo& FolderZipProfileKind();

// The settings of the folder archiving job uid as stored in the file, with the
// loader's flags set (subfolder states and last-run time taken over); keys
// that are missing or unreadable give their defaults. Throws EConvertError
// for a time stamp that names an impossible date.
TFolderZip_Settings ReadFolderZipSettings(const IniDocument& ini, const QString& uid);

// Creates through maker the folder archiving jobs named in "ZipFolderList", in file order. An
// error stops the family: the profiles read before it stay, the rest is not created.
void LoadFolderZip(const IniDocument& ini, const TProfileMaker<TLumo_FolderZip>& maker);

// A number of the settings record as the task object keeps it: in the key's
// range, otherwise the key's default.
int ClampedFolderZipSetting(int TFolderZip_Settings::*member, int value);

// The list entry, the settings keys of uid + "_st" and the excluded subfolders
// (section uid + "_FolderEx").
void WriteFolderZipProfile(IniDocument& ini, const TLumo_FolderZip& folderZip);
// The subfolder states (section uid).
void WriteFolderZipStates(IniDocument& ini, const TLumo_FolderZip& folderZip);
