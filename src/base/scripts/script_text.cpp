#include "scripts/script_text.h"

#include <array>

namespace {

struct TagEntry {
    TActionType type;
    const char* tag;
};

constexpr std::array<TagEntry, 12> kTags{{
    {TActionType::taPause, "[taPause]"},
    {TActionType::taExecute, "[taExecute]"},
    {TActionType::taEmptyRecycleBin, "[taEmptyRecycleBin]"},
    {TActionType::taIfFileExists, "[taIfFileExists]"},
    {TActionType::taIfDriveExists, "[taIfDriveExists]"},
    {TActionType::taIfFolderExists, "[taIfFolderExists]"},
    {TActionType::taBreakScript, "[taBreakScript]"},
    {TActionType::taBreakTask, "[taBreakTask]"},
    {TActionType::taIfAppRunning, "[taIfAppRunning]"},
    {TActionType::taIfProcessRunning, "[taIfProcessRunning]"},
    {TActionType::taDeleteFile, "[taDeleteFile]"},
    {TActionType::taDeleteFolder, "[taDeleteFolder]"},
}};

} // namespace

QString ActionTypeTag(TActionType type) {
    for (const TagEntry& entry : kTags)
        if (entry.type == type)
            return QString::fromLatin1(entry.tag);
    return {};
}

std::optional<TActionType> ActionTypeFromTag(const QString& line) {
    for (const TagEntry& entry : kTags)
        if (line == QLatin1String(entry.tag))
            return entry.type;
    return std::nullopt;
}

QStringList ScriptListToText(const TLumo_ScriptList& list) {
    QStringList lines;
    for (const TLumo_ProfileScript& action : list) {
        const QString tag = ActionTypeTag(action.ActionType());
        // Without a tag the parameter lines would attach to the action before.
        if (tag.isEmpty())
            continue;
        lines << tag;
        lines << action.fValues;
    }
    return lines;
}

TLumo_ScriptList ScriptListFromText(const QStringList& lines, TScriptListScope scope) {
    TLumo_ScriptList list;
    TLumo_ProfileScript* current = nullptr;
    for (const QString& line : lines) {
        if (IsBlankText(line))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            current = nullptr;
            const std::optional<TActionType> type = ActionTypeFromTag(line);
            if (type && (scope == TScriptListScope::MainList || IsSimpleAction(*type))) {
                list.emplace_back(*type);
                current = &list.back();
            }
            continue;
        }
        if (current && line.contains(QLatin1Char('=')))
            current->AddString(line);
    }
    return list;
}
