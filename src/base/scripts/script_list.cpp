#include "scripts/script_list.h"

namespace {

bool IsBlankChar(QChar c) { return c.unicode() <= u' '; }

} // namespace

bool IsConditionAction(TActionType type) {
    switch (type) {
    case TActionType::taIfFileExists:
    case TActionType::taIfDriveExists:
    case TActionType::taIfFolderExists:
    case TActionType::taIfAppRunning:
    case TActionType::taIfProcessRunning: return true;
    default: return false;
    }
}

bool IsSimpleAction(TActionType type) {
    switch (type) {
    case TActionType::taPause:
    case TActionType::taExecute:
    case TActionType::taEmptyRecycleBin:
    case TActionType::taDeleteFile:
    case TActionType::taDeleteFolder: return true;
    default: return false;
    }
}

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlankChar(text[first]))
        ++first;
    while (last > first && IsBlankChar(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

bool IsBlankText(const QString& text) {
    for (QChar c : text)
        if (!IsBlankChar(c))
            return false;
    return true;
}

void TLumo_ProfileScript::AddString(const QString& nValue) {
    if (!IsBlankText(nValue))
        fValues << nValue;
}

void TLumo_ProfileScript::AddValue(const QString& nName, const QString& nValue) {
    if (!nValue.isEmpty())
        fValues << nName + QLatin1Char('=') + nValue;
}

QString TLumo_ProfileScript::GetValue(const QString& nName) const {
    const QString prefix = nName + QLatin1Char('=');
    for (const QString& line : fValues)
        if (line.startsWith(prefix))
            return line.mid(line.indexOf(QLatin1Char('=')) + 1);
    return {};
}

bool TLumo_ProfileScript::GetValueBool(const QString& nName) const { return GetValue(nName) == QLatin1String("True"); }
