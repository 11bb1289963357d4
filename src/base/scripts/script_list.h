#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Kinds of script action. The ordinal is what the program compares; the
// stored form uses the tag text.
enum class TActionType {
    taPause,
    taExecute,
    taEmptyRecycleBin,
    taIfFileExists,
    taBlank,
    taIfDriveExists,
    taIfFolderExists,
    taBreakScript,
    taBreakTask,
    taIfAppRunning,
    taIfProcessRunning,
    taDeleteFile,
    taDeleteFolder
};

// True for the five conditions (they carry a yes and a no list).
bool IsConditionAction(TActionType type);
// True for the kinds that may stand in a condition's branch: pause, program
// start, emptying the recycle bin, file and folder deletion.
bool IsSimpleAction(TActionType type);

// The text without leading and trailing blanks and control characters.
QString TrimBlanks(const QString& text);
// True when the text is empty or holds only blanks and control characters.
bool IsBlankText(const QString& text);

// One script action: its kind, its "Name=Value" parameter lines and, for a
// condition, the actions run when it holds and when it does not. A value
// type: copying an action copies its branches.
class TLumo_ProfileScript {
public:
    explicit TLumo_ProfileScript(TActionType type) : fActionType(type), fIsIf(IsConditionAction(type)) {}

    TActionType ActionType() const { return fActionType; }
    bool IsIf() const { return fIsIf; }

    // Appends the line unchanged unless it is blank.
    void AddString(const QString& nValue);
    // Appends "nName=nValue"; an empty value adds no line.
    void AddValue(const QString& nName, const QString& nValue);
    // Empties the parameter lines; the branch lists stay.
    void Clear() { fValues.clear(); }
    // The text after the first "=" of the first line that begins with
    // nName + "=" (exact, case-sensitive); empty when there is none.
    QString GetValue(const QString& nName) const;
    // True exactly when GetValue(nName) is "True".
    bool GetValueBool(const QString& nName) const;

    QStringList fValues;
    std::vector<TLumo_ProfileScript> fIfYesList;
    std::vector<TLumo_ProfileScript> fIfNoList;

private:
    TActionType fActionType;
    bool fIsIf;
};

using TLumo_ScriptList = std::vector<TLumo_ProfileScript>;
