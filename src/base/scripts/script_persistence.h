#pragma once

#include "ini/ini_document.h"
#include "scripts/script_list.h"
#include "scripts/script_text.h"

#include <QString>

class TAppContext;

// Script lists in the settings file. For a profile with UID U the section
// U + "_st" holds "ProfileScript_Before" and "ProfileScript_After", and U + "_PS"
// holds "PS_Yes_" + n and "PS_No_" + n for the n-th condition (counted from 1
// over the before list, then the after list). Every value is a packed list of
// the script text.

// The packed value of a list; ok is false when compression failed.
QString PackScriptList(const TLumo_ScriptList& list, bool* ok = nullptr);
// A value that does not decode gives an empty list.
TLumo_ScriptList UnpackScriptList(const QString& value, TScriptListScope scope = TScriptListScope::MainList);

// Reads one profile's two lists with their branch lists.
void ReadProfileScripts(const IniDocument& ini, const QString& uid, TLumo_ScriptList& before,
                        TLumo_ScriptList& after);

// For every profile in order: reads its lists and hands them to the profile
// (no save request). An unexpected error ends the loading for the remaining
// profiles; those read so far keep their lists.
void LoadScripts(TAppContext& context, const IniDocument& ini);

// Writes one profile's script keys: each list key is deleted and written again
// when packing succeeds, then the branch section is rebuilt. Both branch keys
// are written for every condition, also when a branch is empty.
void WriteProfileScripts(IniDocument& ini, const QString& uid, const TLumo_ScriptList& before,
                         const TLumo_ScriptList& after);
