#pragma once

#include "ini/ini_document.h"
#include "scripts/script_list.h"
#include "scripts/script_text.h"

#include <QString>
#include <QStringList>

#include <functional>

// Script lists in the settings file. For a profile with UID U the section
// U + "_st" holds "ProfileScript_Before" and "ProfileScript_After", and U + "_PS"
// holds "PS_Yes_" + n and "PS_No_" + n for the n-th condition (counted from 1
// over the before list, then the after list). Every value is a packed list of
// the script text.

// The packed value of a list; ok is false when compression failed.
QString PackScriptList(const TLumo_ScriptList& list, bool* ok = nullptr);
// A value that does not decode gives an empty list.
TLumo_ScriptList UnpackScriptList(const QString& value, TScriptListScope scope = TScriptListScope::MainList);

// The section of a profile's branch lists (U + "_PS").
QString ProfileScriptBranchSection(const QString& uid);

// Reads one profile's two lists with their branch lists.
void ReadProfileScripts(const IniDocument& ini, const QString& uid, TLumo_ScriptList& before,
                        TLumo_ScriptList& after);

// Receives the two lists read for the UID at a position of the loaded list.
using TScriptListsSink =
    std::function<void(qsizetype position, const TLumo_ScriptList& before, const TLumo_ScriptList& after)>;

// For every UID in order: reads its lists and hands them to take with the
// UID's position (two profiles may share a UID; each gets its lists). An
// unexpected error ends the loading for the remaining UIDs; those read so far
// keep their lists.
void LoadScripts(const IniDocument& ini, const QStringList& uids, const TScriptListsSink& take);

// Writes one profile's script keys: each list key is deleted and written again
// when packing succeeds, then the branch section is rebuilt. Both branch keys
// are written for every condition, also when a branch is empty.
void WriteProfileScripts(IniDocument& ini, const QString& uid, const TLumo_ScriptList& before,
                         const TLumo_ScriptList& after);
