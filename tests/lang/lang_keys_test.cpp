#include "lang/lang_keys.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QString>

#include <utility>
#include <vector>

namespace {

QString SectionOf(int index) { return QString::fromLatin1(LangVariableInfo(static_cast<Lng>(index)).section); }
QString KeyOf(int index) { return QString::fromLatin1(LangVariableInfo(static_cast<Lng>(index)).key); }

} // namespace

TEST(LangKeys, HoldsAllVariablesSplitBetweenApplicationAndLibrary) {
    // The inherited 381 variables and the texts this program added after them.
    ASSERT_EQ(kLngCount, 381 + 4);
    int application = 0, library = 0;
    for (int i = 0; i < kLngCount; ++i) {
        if (SectionOf(i).startsWith(QLatin1String("lib_")))
            ++library;
        else
            ++application;
    }
    EXPECT_EQ(application, 169 + 4);
    EXPECT_EQ(library, 212);
}

TEST(LangKeys, KeysAreUniqueAndCarryTheirOwnersPrefix) {
    QSet<QString> seen;
    for (int i = 0; i < kLngCount; ++i) {
        const QString key = KeyOf(i);
        EXPECT_FALSE(seen.contains(key.toLower())) << "duplicate key " << key.toStdString();
        seen.insert(key.toLower());
        const bool library = SectionOf(i).startsWith(QLatin1String("lib_"));
        EXPECT_TRUE(key.startsWith(QLatin1String(library ? "lib_lng_" : "lng_")))
            << key.toStdString() << " in section " << SectionOf(i).toStdString();
    }
}

// The sections in file order with their sizes, as language files are laid out.
TEST(LangKeys, SectionsFollowTheLanguageFileLayout) {
    const std::vector<std::pair<QString, int>> expected = {
        {"AboutForm", 4}, {"FileStatus", 5}, {"Edit", 2}, {"MenuItem", 13}, {"MainForm", 18}, {"SyncResultForm", 9},
        {"ScriptForm", 28}, {"lng_SetF", 29}, {"FolderZipResultForm", 2}, {"Dialog", 12}, {"Global", 37},
        {"Scheduler", 10}, {"lib_lng_btn", 43}, {"lib_lng_Update", 17}, {"lib_lng_Dialog", 26},
        {"lib_lng_Global", 19}, {"lib_lng_FileMask", 9}, {"lib_lng_Edit", 22}, {"lib_lng_Date", 25},
        {"lib_lng_RestoreBackup", 13}, {"lib_lng_Date_MonthText", 12}, {"lib_lng_Date_Month", 12},
        {"lib_lng_Date_Day", 7}, {"lib_lng_Date_ShortDay", 7},
        // Texts this program added after the inherited set.
        {"Global", 1}, {"MainForm", 2}, {"AboutForm", 1},
    };
    std::vector<std::pair<QString, int>> actual;
    for (int i = 0; i < kLngCount; ++i) {
        if (actual.empty() || actual.back().first != SectionOf(i))
            actual.emplace_back(SectionOf(i), 0);
        ++actual.back().second;
    }
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].first, expected[i].first) << "group " << i;
        EXPECT_EQ(actual[i].second, expected[i].second) << expected[i].first.toStdString();
    }
}

TEST(LangKeys, InfoNamesSectionAndKeyOfAVariable) {
    struct Case {
        Lng id;
        const char* section;
        const char* key;
    };
    const Case cases[] = {
        {Lng::lng_AboutForm_Version, "AboutForm", "lng_AboutForm_Version"},
        {Lng::lng_MF_miRunTask, "MainForm", "lng_MF_miRunTask"},
        {Lng::lng_SetF_txtTitleEdit, "lng_SetF", "lng_SetF_txtTitleEdit"},
        {Lng::lng_Global_StatusWait, "Global", "lng_Global_StatusWait"},
        {Lng::lib_lng_Dlg_Title_Warning, "lib_lng_Dialog", "lib_lng_Dlg_Title_Warning"},
        {Lng::lib_lng_Date_MonthText1, "lib_lng_Date_MonthText", "lib_lng_Date_MonthText1"},
        {Lng::lib_lng_Date_ShortDay7, "lib_lng_Date_ShortDay", "lib_lng_Date_ShortDay7"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(LangVariableInfo(c.id).section, c.section) << c.key;
        EXPECT_STREQ(LangVariableInfo(c.id).key, c.key);
    }
    EXPECT_EQ(static_cast<int>(Lng::lib_lng_Date_ShortDay7), 380);
    EXPECT_EQ(static_cast<int>(Lng::lng_AboutForm_Beta), kLngCount - 1);
}

TEST(LangKeys, ValueOutsideTheEnumerationGivesEmptyNames) {
    for (Lng bad : {Lng::Count, static_cast<Lng>(-1), static_cast<Lng>(10000)}) {
        EXPECT_STREQ(LangVariableInfo(bad).section, "");
        EXPECT_STREQ(LangVariableInfo(bad).key, "");
    }
}
