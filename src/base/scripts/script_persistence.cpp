#include "scripts/script_persistence.h"

#include "ini/ini_values.h"

#include <exception>

namespace {

const QString kBeforeKey = QStringLiteral("ProfileScript_Before");
const QString kAfterKey = QStringLiteral("ProfileScript_After");

QString SettingsSection(const QString& uid) { return uid + QStringLiteral("_st"); }
QString YesKey(int n) { return QStringLiteral("PS_Yes_%1").arg(n); }
QString NoKey(int n) { return QStringLiteral("PS_No_%1").arg(n); }

// The conditions of both lists in numbering order.
template <typename List, typename Action>
std::vector<Action*> ConditionsOf(List& before, List& after) {
    std::vector<Action*> conditions;
    for (List* list : {&before, &after})
        for (Action& action : *list)
            if (action.IsIf())
                conditions.push_back(&action);
    return conditions;
}

void WriteListKey(IniDocument& ini, const QString& section, const QString& key, const TLumo_ScriptList& list) {
    bool ok = false;
    const QString value = PackScriptList(list, &ok);
    if (ini.HasKey(section, key))
        ini.DeleteKey(section, key);
    if (ok)
        ini.SetValue(section, key, value);
}

} // namespace

QString ProfileScriptBranchSection(const QString& uid) { return uid + QStringLiteral("_PS"); }

QString PackScriptList(const TLumo_ScriptList& list, bool* ok) { return PackList(ScriptListToText(list), ok); }

TLumo_ScriptList UnpackScriptList(const QString& value, TScriptListScope scope) {
    return ScriptListFromText(UnpackList(value), scope);
}

void ReadProfileScripts(const IniDocument& ini, const QString& uid, TLumo_ScriptList& before,
                        TLumo_ScriptList& after) {
    before.clear();
    after.clear();
    const QString settings = SettingsSection(uid);
    if (ini.HasKey(settings, kBeforeKey))
        before = UnpackScriptList(ini.Value(settings, kBeforeKey));
    if (ini.HasKey(settings, kAfterKey))
        after = UnpackScriptList(ini.Value(settings, kAfterKey));

    const QString branches = ProfileScriptBranchSection(uid);
    const auto conditions = ConditionsOf<TLumo_ScriptList, TLumo_ProfileScript>(before, after);
    for (size_t i = 0; i < conditions.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        if (ini.HasKey(branches, YesKey(n)))
            conditions[i]->fIfYesList = UnpackScriptList(ini.Value(branches, YesKey(n)), TScriptListScope::Branch);
        if (ini.HasKey(branches, NoKey(n)))
            conditions[i]->fIfNoList = UnpackScriptList(ini.Value(branches, NoKey(n)), TScriptListScope::Branch);
    }
}

void LoadScripts(const IniDocument& ini, const QStringList& uids, const TScriptListsSink& take) {
    try {
        for (qsizetype i = 0; i < uids.size(); ++i) {
            TLumo_ScriptList before, after;
            ReadProfileScripts(ini, uids[i], before, after);
            take(i, before, after);
        }
    } catch (const std::exception&) {
        // The remaining profiles keep empty lists; nothing is reported.
    }
}

void WriteProfileScripts(IniDocument& ini, const QString& uid, const TLumo_ScriptList& before,
                         const TLumo_ScriptList& after) {
    const QString settings = SettingsSection(uid);
    WriteListKey(ini, settings, kBeforeKey, before);
    WriteListKey(ini, settings, kAfterKey, after);

    const QString branches = ProfileScriptBranchSection(uid);
    if (ini.HasSection(branches))
        ini.EraseSection(branches);
    const auto conditions = ConditionsOf<const TLumo_ScriptList, const TLumo_ProfileScript>(before, after);
    for (size_t i = 0; i < conditions.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        bool ok = false;
        QString value = PackScriptList(conditions[i]->fIfYesList, &ok);
        if (ok)
            ini.SetValue(branches, YesKey(n), value);
        value = PackScriptList(conditions[i]->fIfNoList, &ok);
        if (ok)
            ini.SetValue(branches, NoKey(n), value);
    }
}
