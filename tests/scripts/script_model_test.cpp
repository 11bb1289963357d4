#include "scripts/script_list.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptModel, ConditionKindsAreExactlyTheFiveIfs) {
    const struct {
        TActionType type;
        bool isIf;
        bool isSimple;
    } cases[] = {
        {TActionType::taPause, false, true},
        {TActionType::taExecute, false, true},
        {TActionType::taEmptyRecycleBin, false, true},
        {TActionType::taIfFileExists, true, false},
        {TActionType::taBlank, false, false},
        {TActionType::taIfDriveExists, true, false},
        {TActionType::taIfFolderExists, true, false},
        {TActionType::taBreakScript, false, false},
        {TActionType::taBreakTask, false, false},
        {TActionType::taIfAppRunning, true, false},
        {TActionType::taIfProcessRunning, true, false},
        {TActionType::taDeleteFile, false, true},
        {TActionType::taDeleteFolder, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        EXPECT_EQ(TLumo_ProfileScript(c.type).IsIf(), c.isIf);
        EXPECT_EQ(IsSimpleAction(c.type), c.isSimple);
    }
}

TEST(ScriptModel, OrdinalsFollowTheDeclaredOrder) {
    EXPECT_EQ(static_cast<int>(TActionType::taBlank), 4);
    EXPECT_EQ(static_cast<int>(TActionType::taIfProcessRunning), 10);
    EXPECT_EQ(static_cast<int>(TActionType::taDeleteFolder), 12);
}

TEST(ScriptModel, AddStringSkipsBlankAndControlOnlyText) {
    TLumo_ProfileScript action(TActionType::taPause);
    action.AddString(QString());
    action.AddString(QStringLiteral("   "));
    action.AddString(QStringLiteral("\t\r\n \x01"));
    action.AddString(QStringLiteral(" Pause=5 "));
    EXPECT_EQ(action.fValues, QStringList{QStringLiteral(" Pause=5 ")});
}

TEST(ScriptModel, AddValueWritesNameEqualsValueAndSkipsEmptyValues) {
    TLumo_ProfileScript action(TActionType::taExecute);
    action.AddValue(QStringLiteral("File"), QStringLiteral("/usr/bin/tool"));
    action.AddValue(QStringLiteral("Cmd"), QString());
    action.AddValue(QStringLiteral("Folder"), QStringLiteral(" "));
    EXPECT_EQ(action.fValues, (QStringList{QStringLiteral("File=/usr/bin/tool"), QStringLiteral("Folder= ")}));
}

TEST(ScriptModel, GetValueMatchesTheExactCaseSensitivePrefix) {
    TLumo_ProfileScript action(TActionType::taPause);
    action.fValues = QStringList{QStringLiteral(" Pause=1"), QStringLiteral("pause=2"), QStringLiteral("Pauses=3"),
                                 QStringLiteral("Pause=4=5"), QStringLiteral("Pause=6")};
    EXPECT_EQ(action.GetValue(QStringLiteral("Pause")), QStringLiteral("4=5"));
    EXPECT_EQ(action.GetValue(QStringLiteral("Missing")), QString());
    EXPECT_EQ(action.GetValue(QStringLiteral("pause")), QStringLiteral("2"));
}

TEST(ScriptModel, GetValueBoolIsTrueOnlyForTheExactWordTrue) {
    const struct {
        const char* line;
        bool expected;
    } cases[] = {
        {"OnlyOneApp=True", true}, {"OnlyOneApp=true", false}, {"OnlyOneApp=1", false},
        {"OnlyOneApp=True ", false}, {"Other=True", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TLumo_ProfileScript action(TActionType::taExecute);
        action.fValues << QString::fromLatin1(c.line);
        EXPECT_EQ(action.GetValueBool(QStringLiteral("OnlyOneApp")), c.expected);
    }
}

TEST(ScriptModel, ClearEmptiesTheLinesButKeepsTheBranches) {
    TLumo_ProfileScript condition(TActionType::taIfFileExists);
    condition.AddValue(QStringLiteral("File"), QStringLiteral("/a"));
    condition.fIfYesList.emplace_back(TActionType::taPause);
    condition.Clear();
    EXPECT_TRUE(condition.fValues.isEmpty());
    EXPECT_EQ(condition.fIfYesList.size(), 1u);
}

TEST(ScriptModel, TrimBlanksStripsBlanksAndControlCharactersOnBothEnds) {
    EXPECT_EQ(TrimBlanks(QStringLiteral("\t /a b/\r\n\x01")), QStringLiteral("/a b/"));
    EXPECT_EQ(TrimBlanks(QStringLiteral(" \t ")), QString());
    EXPECT_TRUE(IsBlankText(QStringLiteral("\x1f \x01")));
    EXPECT_FALSE(IsBlankText(QStringLiteral(" \x7f")));
}

} // namespace
