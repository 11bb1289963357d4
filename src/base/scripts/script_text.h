#pragma once

#include "scripts/script_list.h"

#include <QString>
#include <QStringList>

#include <optional>

// The script text: the line form of a list of actions, as stored (packed) in
// the settings file. Each action is its tag line ("[taPause]") followed by its
// parameter lines exactly as held.

// The tag line of a kind; empty for taBlank, which is never stored.
QString ActionTypeTag(TActionType type);
// The kind whose tag line is exactly this line (no trimming, case-sensitive).
std::optional<TActionType> ActionTypeFromTag(const QString& line);

// Which kinds a parsed list accepts: a main list takes every stored kind, a
// condition's branch only the simple ones.
enum class TScriptListScope { MainList, Branch };

// The lines of the script text of a list. taBlank writes nothing at all, and
// the branch lists are not part of the text (they are stored per condition).
QStringList ScriptListToText(const TLumo_ScriptList& list);

// Parses script text. Blank lines are skipped. A line starting with "[" ends
// the current action; if it is an accepted tag a new action of that kind
// begins. Other lines holding "=" go to the current action; lines without
// one, and lines with no current action, are dropped.
TLumo_ScriptList ScriptListFromText(const QStringList& lines, TScriptListScope scope = TScriptListScope::MainList);
