#include "scripts/script_text.h"

#include <gtest/gtest.h>

namespace {

TLumo_ProfileScript Action(TActionType type, const QStringList& values) {
    TLumo_ProfileScript action(type);
    action.fValues = values;
    return action;
}

TEST(ScriptText, EveryStoredKindHasItsTagAndBlankHasNone) {
    const struct {
        TActionType type;
        const char* tag;
    } cases[] = {
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        EXPECT_EQ(ActionTypeTag(c.type), QString::fromLatin1(c.tag));
        ASSERT_TRUE(ActionTypeFromTag(QString::fromLatin1(c.tag)).has_value());
        EXPECT_EQ(*ActionTypeFromTag(QString::fromLatin1(c.tag)), c.type);
    }
    EXPECT_TRUE(ActionTypeTag(TActionType::taBlank).isEmpty());
    EXPECT_FALSE(ActionTypeFromTag(QStringLiteral("[taBlank]")).has_value());
}

TEST(ScriptText, TextIsTagThenLinesAsHeldAndBlankWritesNothing) {
    const TLumo_ScriptList list{
        Action(TActionType::taPause, {QStringLiteral("Pause=30")}),
        Action(TActionType::taBlank, {QStringLiteral("Stray=1")}),
        Action(TActionType::taExecute, {QStringLiteral("File=/bin/true"), QStringLiteral(" Cmd=-v")}),
        Action(TActionType::taEmptyRecycleBin, {}),
    };
    const QStringList expected{QStringLiteral("[taPause]"),   QStringLiteral("Pause=30"),
                               QStringLiteral("[taExecute]"), QStringLiteral("File=/bin/true"),
                               QStringLiteral(" Cmd=-v"),     QStringLiteral("[taEmptyRecycleBin]")};
    EXPECT_EQ(ScriptListToText(list), expected);
}

TEST(ScriptText, ConditionBranchesAreNotPartOfTheText) {
    TLumo_ProfileScript condition = Action(TActionType::taIfFolderExists, {QStringLiteral("Folder=/x/")});
    condition.fIfYesList.push_back(Action(TActionType::taPause, {QStringLiteral("Pause=1")}));
    EXPECT_EQ(ScriptListToText({condition}),
              (QStringList{QStringLiteral("[taIfFolderExists]"), QStringLiteral("Folder=/x/")}));
}

TEST(ScriptText, JunkLinesAreDropped) {
    const QStringList text{
        QStringLiteral("Orphan=before any tag"),  // no current action
        QStringLiteral("[taPause]"),
        QStringLiteral("Pause=10"),
        QStringLiteral("no equals sign"),         // dropped
        QStringLiteral("   "),                    // blank
        QStringLiteral(" Pause=20"),              // kept unchanged
        QStringLiteral("[taUnknown]"),            // unknown tag ends the pause
        QStringLiteral("File=/lost"),
        QStringLiteral("[taPause] "),             // not exactly a tag
        QStringLiteral("Pause=99"),
        QStringLiteral("[TAPAUSE]"),              // tags are case-sensitive
        QStringLiteral("Pause=98"),
        QStringLiteral("[taBlank]"),
        QStringLiteral("Pause=97"),
        QStringLiteral("[taDeleteFile]"),
        QStringLiteral("File=/a=b"),
        QStringLiteral("ToRecycle=0"),
    };
    const TLumo_ScriptList list = ScriptListFromText(text);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].ActionType(), TActionType::taPause);
    EXPECT_EQ(list[0].fValues, (QStringList{QStringLiteral("Pause=10"), QStringLiteral(" Pause=20")}));
    EXPECT_EQ(list[0].GetValue(QStringLiteral("Pause")), QStringLiteral("10"));
    EXPECT_EQ(list[1].ActionType(), TActionType::taDeleteFile);
    EXPECT_EQ(list[1].GetValue(QStringLiteral("File")), QStringLiteral("/a=b"));
    EXPECT_EQ(list[1].GetValue(QStringLiteral("ToRecycle")), QStringLiteral("0"));
}

TEST(ScriptText, BranchAcceptsOnlySimpleKinds) {
    const QStringList text{
        QStringLiteral("[taIfFileExists]"), QStringLiteral("File=/x"),
        QStringLiteral("[taPause]"),        QStringLiteral("Pause=5"),
        QStringLiteral("[taBreakScript]"),  QStringLiteral("Junk=1"),
        QStringLiteral("[taBreakTask]"),    QStringLiteral("[taDeleteFolder]"),
        QStringLiteral("Folder=/y/"),
    };
    const TLumo_ScriptList branch = ScriptListFromText(text, TScriptListScope::Branch);
    ASSERT_EQ(branch.size(), 2u);
    EXPECT_EQ(branch[0].ActionType(), TActionType::taPause);
    EXPECT_EQ(branch[0].fValues, QStringList{QStringLiteral("Pause=5")});
    EXPECT_EQ(branch[1].ActionType(), TActionType::taDeleteFolder);
    EXPECT_EQ(branch[1].fValues, QStringList{QStringLiteral("Folder=/y/")});

    const TLumo_ScriptList main = ScriptListFromText(text);
    EXPECT_EQ(main.size(), 5u);
}

} // namespace
