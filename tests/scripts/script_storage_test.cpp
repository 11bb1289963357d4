#include "script_test_support.h"
#include "scripts/script_persistence.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringEncoder>

namespace {

const QString kUid = QStringLiteral("SNK202401011200001234");
const QString kSt = kUid + QStringLiteral("_st");
const QString kPs = kUid + QStringLiteral("_PS");

TLumo_ProfileScript Action(TActionType type, const QStringList& values) {
    TLumo_ProfileScript action(type);
    action.fValues = values;
    return action;
}

TLumo_ProfileScript Condition(TActionType type, const QString& line, TLumo_ScriptList yes, TLumo_ScriptList no) {
    TLumo_ProfileScript action = Action(type, {line});
    action.fIfYesList = std::move(yes);
    action.fIfNoList = std::move(no);
    return action;
}

// Every simple kind with all of its parameters.
TLumo_ScriptList AllSimpleActions(const QString& tag) {
    return {
        Action(TActionType::taPause, {QStringLiteral("Pause=30")}),
        Action(TActionType::taExecute, {QStringLiteral("File=/opt/") + tag + QStringLiteral("/run.sh"),
                                        QStringLiteral("Cmd=--quiet -x"), QStringLiteral("Folder=/opt/"),
                                        QStringLiteral("OnlyOneApp=True")}),
        Action(TActionType::taEmptyRecycleBin, {}),
        Action(TActionType::taDeleteFile, {QStringLiteral("File=/tmp/") + tag, QStringLiteral("ToRecycle=1")}),
        Action(TActionType::taDeleteFolder,
               {QStringLiteral("Folder=/tmp/") + tag + "/", QStringLiteral("ToRecycle=0")}),
    };
}

TEST(ScriptStorage, SmallListIsStoredAsTheDeflatedScriptTextInUpperCaseHex) {
    const TLumo_ScriptList list{
        Action(TActionType::taPause, {QStringLiteral("Pause=30")}),
        Action(TActionType::taDeleteFile, {QStringLiteral("File=/tmp/a.txt"), QStringLiteral("ToRecycle=1")}),
    };
    bool ok = false;
    const QString value = PackScriptList(list, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(InflateStoredValue(value),
              QByteArray("[taPause]\r\nPause=30\r\n[taDeleteFile]\r\nFile=/tmp/a.txt\r\nToRecycle=1\r\n"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]+$")).match(value).hasMatch()) << value.toStdString();
    // The same text deflated at zlib's default level by Python's zlib.compress.
    EXPECT_EQ(value, QStringLiteral("789C8B2E490C482C2D4E8DE5E502D3B6C606BC5CD125892EA939A925A96E99392019"
                                    "1065AB5F925BA09FA8575251C2CB15921F949A5C990C1435E4E50200E6D21550"));
}

TEST(ScriptStorage, EmptyListIsAShortNonEmptyValueAndReloadsEmpty) {
    bool ok = false;
    const QString value = PackScriptList({}, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(value, QStringLiteral("789C030000000001"));
    EXPECT_TRUE(UnpackScriptList(value).empty());
}

TEST(ScriptStorage, ValuesThatDoNotDecodeGiveAnEmptyList) {
    const QString valid = PackScriptList({Action(TActionType::taPause, {QStringLiteral("Pause=1")})});
    const QString cases[] = {
        QString(), QStringLiteral("ZZ"), QStringLiteral("ABC"), QStringLiteral("DEADBEEF"),
        valid.left(valid.size() - 8), valid + QStringLiteral("G0"),
    };
    for (const QString& value : cases) {
        SCOPED_TRACE(value.toStdString());
        EXPECT_TRUE(UnpackScriptList(value).empty());
    }
    EXPECT_EQ(UnpackScriptList(valid).size(), 1u);
}

TEST(ScriptStorage, EveryKindWithItsParametersSurvivesWriteAndRead) {
    TLumo_ScriptList before = AllSimpleActions(QStringLiteral("b"));
    before.push_back(Condition(TActionType::taIfFileExists, QStringLiteral("File=/etc/hosts"),
                               AllSimpleActions(QStringLiteral("yes1")), {}));
    before.push_back(Condition(TActionType::taIfDriveExists, QStringLiteral("Drive=/media/usb"), {},
                               AllSimpleActions(QStringLiteral("no2"))));
    before.push_back(Action(TActionType::taBreakScript, {}));
    before.push_back(Condition(TActionType::taIfFolderExists, QStringLiteral("Folder=/srv/data/"),
                               {Action(TActionType::taPause, {QStringLiteral("Pause=3")})},
                               {Action(TActionType::taEmptyRecycleBin, {})}));
    TLumo_ScriptList after{
        Condition(TActionType::taIfAppRunning, QStringLiteral("App=/usr/bin/editor"),
                  {Action(TActionType::taDeleteFile, {QStringLiteral("File=/x"), QStringLiteral("ToRecycle=0")})},
                  {Action(TActionType::taExecute, {QStringLiteral("File=/bin/echo")})}),
        Condition(TActionType::taIfProcessRunning, QStringLiteral("Process=backupd"),
                  AllSimpleActions(QStringLiteral("yes5")), AllSimpleActions(QStringLiteral("no5"))),
        Action(TActionType::taBreakTask, {}),
        Action(TActionType::taExecute, {QStringLiteral("File=/home/u/Müller/файл.sh")}),
    };

    IniDocument ini;
    WriteProfileScripts(ini, kUid, before, after);
    TLumo_ScriptList readBefore, readAfter;
    ReadProfileScripts(ini, kUid, readBefore, readAfter);

    EXPECT_EQ(DescribeScripts(readBefore), DescribeScripts(before));
    EXPECT_EQ(DescribeScripts(readAfter), DescribeScripts(after));
}

TEST(ScriptStorage, ConditionsAreNumberedOverBeforeThenAfter) {
    const auto pause = [](const char* seconds) {
        return TLumo_ScriptList{Action(TActionType::taPause, {QStringLiteral("Pause=") + QLatin1String(seconds)})};
    };
    const TLumo_ScriptList before{
        Condition(TActionType::taIfFileExists, QStringLiteral("File=/1"), pause("11"), pause("12")),
        Action(TActionType::taPause, {QStringLiteral("Pause=0")}),
        Condition(TActionType::taIfFolderExists, QStringLiteral("Folder=/2/"), pause("21"), pause("22")),
    };
    const TLumo_ScriptList after{
        Condition(TActionType::taIfProcessRunning, QStringLiteral("Process=p3"), pause("31"),
                  {Action(TActionType::taDeleteFolder, {QStringLiteral("Folder=/c/"), QStringLiteral("ToRecycle=0")})}),
    };
    IniDocument ini;
    WriteProfileScripts(ini, kUid, before, after);

    EXPECT_EQ(ini.Keys(kPs), (QStringList{"PS_Yes_1", "PS_No_1", "PS_Yes_2", "PS_No_2", "PS_Yes_3", "PS_No_3"}));
    EXPECT_EQ(InflateStoredValue(ini.Value(kPs, "PS_Yes_2")), QByteArray("[taPause]\r\nPause=21\r\n"));
    EXPECT_EQ(InflateStoredValue(ini.Value(kPs, "PS_No_3")),
              QByteArray("[taDeleteFolder]\r\nFolder=/c/\r\nToRecycle=0\r\n"));
    EXPECT_EQ(InflateStoredValue(ini.Value(kSt, "ProfileScript_Before")),
              QByteArray("[taIfFileExists]\r\nFile=/1\r\n[taPause]\r\nPause=0\r\n"
                         "[taIfFolderExists]\r\nFolder=/2/\r\n"));

    TLumo_ScriptList readBefore, readAfter;
    ReadProfileScripts(ini, kUid, readBefore, readAfter);
    EXPECT_EQ(DescribeScripts(readBefore), DescribeScripts(before));
    EXPECT_EQ(DescribeScripts(readAfter), DescribeScripts(after));
}

TEST(ScriptStorage, EmptyBranchesAreStillWrittenForEveryCondition) {
    const TLumo_ScriptList before{Condition(TActionType::taIfDriveExists, QStringLiteral("Drive=/mnt"), {}, {})};
    IniDocument ini;
    WriteProfileScripts(ini, kUid, before, {});
    EXPECT_EQ(ini.Value(kPs, "PS_Yes_1"), QStringLiteral("789C030000000001"));
    EXPECT_EQ(ini.Value(kPs, "PS_No_1"), QStringLiteral("789C030000000001"));
    EXPECT_EQ(InflateStoredValue(ini.Value(kSt, "ProfileScript_After")), QByteArray());
}

TEST(ScriptStorage, WriterReplacesItsKeysAndBranchSectionOnly) {
    IniDocument ini = IniDocument::FromBytes("[" + kSt.toUtf8() + "]\r\nProfileScript_Before=00\r\nTitle=Docs\r\n"
                                             "ProfileScript_After=11\r\nLastSync=20240101120000\r\n"
                                             "[" + kPs.toUtf8() + "]\r\nPS_Yes_7=00\r\nPS_No_7=00\r\n"
                                             "[Other]\r\nKeep=1\r\n");
    WriteProfileScripts(ini, kUid, {Action(TActionType::taBreakScript, {})}, {});

    // Each list key is deleted first and then written, so it moves to the end.
    EXPECT_EQ(ini.Keys(kSt), (QStringList{"Title", "LastSync", "ProfileScript_Before", "ProfileScript_After"}));
    EXPECT_EQ(ini.Value(kSt, "Title"), QStringLiteral("Docs"));
    EXPECT_EQ(ini.Value(kSt, "LastSync"), QStringLiteral("20240101120000"));
    EXPECT_EQ(InflateStoredValue(ini.Value(kSt, "ProfileScript_Before")), QByteArray("[taBreakScript]\r\n"));
    EXPECT_FALSE(ini.HasSection(kPs));
    EXPECT_EQ(ini.Value("Other", "Keep"), QStringLiteral("1"));
}

TEST(ScriptStorage, UndecodableBeforeListLeavesTheAfterListAndItsBranches) {
    IniDocument ini;
    ini.SetValue(kSt, "ProfileScript_Before", "DEADBEEF");
    ini.SetValue(kSt, "ProfileScript_After",
                 DeflateToStoredValue("[taIfFileExists]\r\nFile=/f\r\n[taBreakTask]\r\n"));
    ini.SetValue(kPs, "PS_Yes_1", DeflateToStoredValue("[taPause]\r\nPause=9\r\n"));
    TLumo_ScriptList before, after;
    ReadProfileScripts(ini, kUid, before, after);
    EXPECT_TRUE(before.empty());
    ASSERT_EQ(after.size(), 2u);
    ASSERT_EQ(after[0].fIfYesList.size(), 1u);
    EXPECT_EQ(after[0].fIfYesList[0].GetValue("Pause"), QStringLiteral("9"));
    EXPECT_TRUE(after[0].fIfNoList.empty());
    EXPECT_EQ(after[1].ActionType(), TActionType::taBreakTask);
}

TEST(ScriptStorage, StoredBranchDropsConditionAndKeepsTheFollowingPause) {
    IniDocument ini;
    ini.SetValue(kSt, "ProfileScript_Before", DeflateToStoredValue("[taIfFileExists]\r\nFile=/f\r\n"));
    ini.SetValue(kPs, "PS_No_1",
                 DeflateToStoredValue("[taIfFileExists]\r\nFile=/g\r\n[taPause]\r\nPause=4\r\n"));
    TLumo_ScriptList before, after;
    ReadProfileScripts(ini, kUid, before, after);
    ASSERT_EQ(before.size(), 1u);
    ASSERT_EQ(before[0].fIfNoList.size(), 1u);
    EXPECT_EQ(before[0].fIfNoList[0].ActionType(), TActionType::taPause);
    EXPECT_EQ(before[0].fIfNoList[0].fValues, QStringList{"Pause=4"});
}

TEST(ScriptStorage, TextWithAUtf8ByteOrderMarkOrAn8BitPageIsRead) {
    const TLumo_ScriptList withBom =
        UnpackScriptList(DeflateToStoredValue("\xEF\xBB\xBF[taPause]\r\nPause=7\r\n"));
    ASSERT_EQ(withBom.size(), 1u);
    EXPECT_EQ(withBom[0].GetValue("Pause"), QStringLiteral("7"));

    // 0xFC is no valid UTF-8 here; either 8-bit page reads it as one character.
    const TLumo_ScriptList ansi = UnpackScriptList(DeflateToStoredValue("[taDeleteFile]\r\nFile=/M\xFCller\r\n"));
    ASSERT_EQ(ansi.size(), 1u);
    const QString file = ansi[0].GetValue("File");
    EXPECT_EQ(file.size(), 7);
    EXPECT_TRUE(file.startsWith("/M") && file.endsWith("ller"));
}

TEST(ScriptStorage, ListsStoredInUtf16WithAByteOrderMarkAreReadAndSavedAgain) {
    const QString text = QStringLiteral("[taDeleteFile]\r\nFile=/home/u/Müller/Отчёт.txt\r\nToRecycle=1\r\n"
                                        "[taPause]\r\nPause=12\r\n");
    const TLumo_ScriptList expected{
        Action(TActionType::taDeleteFile,
               {QStringLiteral("File=/home/u/Müller/Отчёт.txt"), QStringLiteral("ToRecycle=1")}),
        Action(TActionType::taPause, {QStringLiteral("Pause=12")}),
    };
    for (const QStringConverter::Encoding encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        SCOPED_TRACE(QStringConverter::nameForEncoding(encoding));
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        IniDocument ini;
        ini.SetValue(kSt, "ProfileScript_After", DeflateToStoredValue(encoder.encode(text)));

        TLumo_ScriptList before, after;
        ReadProfileScripts(ini, kUid, before, after);
        EXPECT_EQ(DescribeScripts(after), DescribeScripts(expected));

        // The next save writes the list back, in the program's own encoding.
        IniDocument saved;
        WriteProfileScripts(saved, kUid, before, after);
        TLumo_ScriptList reloadedBefore, reloadedAfter;
        ReadProfileScripts(saved, kUid, reloadedBefore, reloadedAfter);
        EXPECT_EQ(DescribeScripts(reloadedAfter), DescribeScripts(expected));
        EXPECT_EQ(QString::fromUtf8(InflateStoredValue(saved.Value(kSt, "ProfileScript_After"))), text);
    }
}

} // namespace
