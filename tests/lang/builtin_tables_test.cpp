#include "lang/builtin_tables.h"
#include "lang/language.h"
#include "lang_test_support.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

namespace {

using TableRoutine = void (*)(TLanguage&, QString&, bool&);
using LibraryRoutine = void (*)(TLanguage&);

struct Table {
    const char* name;
    TableRoutine apply;
    LibraryRoutine applyLibrary;
};

const Table kTables[] = {
    {"Eng", SetBuiltinEnglish, SetBuiltinEnglishLibrary},
    {"Rus", SetBuiltinRussian, SetBuiltinRussianLibrary},
};

// The format directives of a text in order ("%s", "%d", ...); "%%" is no directive.
QStringList Directives(const QString& text) {
    static const QRegularExpression directive(QStringLiteral("%(%|.?)"));
    QStringList found;
    for (auto it = directive.globalMatch(text); it.hasNext();) {
        const QString match = it.next().captured(0);
        if (match != QLatin1String("%%"))
            found << match;
    }
    return found;
}

} // namespace

TEST(BuiltinTables, EveryTableSetsEveryVariable) {
    for (const Table& table : kTables) {
        TLanguage language;
        QString name;
        bool local = false;
        table.apply(language, name, local);
        for (int i = 0; i < kLngCount; ++i) {
            const Lng key = static_cast<Lng>(i);
            EXPECT_FALSE(language.Text(key).trimmed().isEmpty())
                << table.name << " table leaves " << KeyName(key).toStdString() << " empty";
        }
    }
}

TEST(BuiltinTables, ApplyingATableRecordsItsNameAsBuiltin) {
    for (const Table& table : kTables) {
        TLanguage language;
        QString name = QStringLiteral("Deutsch");
        bool local = false;
        table.apply(language, name, local);
        EXPECT_EQ(name, QLatin1String(table.name));
        EXPECT_TRUE(local) << table.name;
    }
}

TEST(BuiltinTables, LibraryRoutineSetsExactlyTheLibrarySections) {
    for (const Table& table : kTables) {
        TLanguage language;
        table.applyLibrary(language);
        for (int i = 0; i < kLngCount; ++i) {
            const Lng key = static_cast<Lng>(i);
            EXPECT_EQ(language.Text(key).isEmpty(), !IsLibraryVariable(key))
                << table.name << " library routine and " << KeyName(key).toStdString();
        }
    }
}

// Texts are used as format strings, so a translation must keep the placeholders.
TEST(BuiltinTables, EnglishAndRussianHaveTheSamePlaceholdersInTheSameOrder) {
    TLanguage english, russian;
    QString name;
    bool local = false;
    SetBuiltinEnglish(english, name, local);
    SetBuiltinRussian(russian, name, local);
    int withPlaceholders = 0;
    for (int i = 0; i < kLngCount; ++i) {
        const Lng key = static_cast<Lng>(i);
        const QStringList directives = Directives(english.Text(key));
        EXPECT_EQ(Directives(russian.Text(key)), directives) << KeyName(key).toStdString();
        for (const QString& d : directives) {
            EXPECT_TRUE(d == QLatin1String("%s") || d == QLatin1String("%d"))
                << KeyName(key).toStdString() << " has " << d.toStdString();
        }
        EXPECT_EQ(russian.Text(key).count(u'|'), english.Text(key).count(u'|')) << KeyName(key).toStdString();
        withPlaceholders += directives.isEmpty() ? 0 : 1;
    }
    EXPECT_GE(withPlaceholders, 30); // the comparison above did look at real formats
}

TEST(BuiltinTables, KnownTextsAreExact) {
    struct Case {
        Lng key;
        const char* english;
        const char* russian; // nullptr: not fixed
    };
    const Case cases[] = {
        {Lng::lng_Global_LastSync, "Last sync: %s", "Последняя синхронизация: %s"},
        {Lng::lng_Global_StatusWait, "Status: wait", "Статус: ожидание"},
        {Lng::lng_ScriptForm_txtPause, "Pause %s sec.", "Пауза %s сек."},
        {Lng::lng_Scheduler_txtDays, "Everyday [%s] at %s", "Ежедневно [%s] в %s"},
        {Lng::lib_lng_btn_Add, nullptr, "Добавить"},
        {Lng::lib_lng_Date_DTToday, "Today at %s", "Сегодня в %s"},
        {Lng::lib_lng_Date_MonthText1, "january", "января"},
        {Lng::lib_lng_Date_MonthText5, "may", "мая"},
        {Lng::lib_lng_Date_MonthText12, "december", "декабря"},
        {Lng::lng_Global_SyncAnalysisResult, "Analysis: Update - %d [%s]  |  To remove - %d [%s]", nullptr},
        {Lng::lng_SyncResFrm_lnkStatusFile, "Status: %s   |   Size: %s", nullptr},
        {Lng::lng_SetF_rbCompareTimeSize, "Comparing modificatoin time and size", nullptr},
        {Lng::lng_SetF_chkLowPriorityWhenHiden, "Low priority when hiden", nullptr},
        {Lng::lib_lng_btn_Dublicate, "Diblicate", nullptr},
        {Lng::lib_lng_Dlg_Title_DeleteConfirm, "Delete comfirm", nullptr},
        {Lng::lib_lng_Update_NewBetaVersion, "New beta version avalible for application - %s (%s)", nullptr},
        {Lng::lib_lng_FileMask_Execute, "Application|*.exe; *.com", nullptr},
        {Lng::lib_lng_Date_YearShort, "y.", nullptr},
        {Lng::lib_lng_Date_DTNoResult, "Is not set", nullptr},
        {Lng::lib_lng_Date_Day1, "Monday", "Понедельник"},
        {Lng::lib_lng_Date_Day7, "Sunday", "Воскресенье"},
    };
    TLanguage english, russian;
    QString name;
    bool local = false;
    SetBuiltinEnglish(english, name, local);
    SetBuiltinRussian(russian, name, local);
    for (const Case& c : cases) {
        if (c.english) {
            EXPECT_EQ(english.Text(c.key), QString::fromUtf8(c.english)) << KeyName(c.key).toStdString();
        }
        if (c.russian) {
            EXPECT_EQ(russian.Text(c.key), QString::fromUtf8(c.russian)) << KeyName(c.key).toStdString();
        }
    }
}

TEST(BuiltinTables, SwitchingTablesReplacesTheTexts) {
    TLanguage language;
    QString name;
    bool local = false;
    SetBuiltinRussian(language, name, local);
    SetBuiltinEnglish(language, name, local);
    EXPECT_EQ(language.Text(Lng::lng_Global_StatusWait), QLatin1String("Status: wait"));
    EXPECT_EQ(language.Text(Lng::lib_lng_Date_MonthText2), QLatin1String("february"));
    EXPECT_EQ(name, QLatin1String("Eng"));
}
