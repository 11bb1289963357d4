#include "lang/language.h"
#include "lang/language_choice.h"
#include "lang_test_support.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

class LanguageFile : public ::testing::Test {
protected:
    QString LangFolder() const { return sandbox.file(QStringLiteral("Lang")); }
    void WriteLanguage(const QString& name, const QByteArray& bytes) const {
        sandbox.writeFile(QStringLiteral("Lang/") + name + QStringLiteral(".ini"), bytes);
    }
    // Loads as a language file that the options name, so a fallback shows in them.
    void Load(const QString& name, const QString& systemLanguage) {
        languageName = name;
        languageLocal = false;
        LoadLanguageFile(language, LangFolder(), name, systemLanguage, languageName, languageLocal);
    }

    TestSandbox sandbox;
    TLanguage language;
    QString languageName;
    bool languageLocal = false;
};

} // namespace

TEST_F(LanguageFile, EveryVariableComesFromItsSection) {
    WriteLanguage(QStringLiteral("Deutsch"), LanguageFileBytes());
    Load(QStringLiteral("Deutsch"), QStringLiteral("Eng"));
    for (int i = 0; i < kLngCount; ++i) {
        const Lng key = static_cast<Lng>(i);
        EXPECT_EQ(language.Text(key), FileTextFor(key)) << KeyName(key).toStdString();
    }
    EXPECT_EQ(languageName, QLatin1String("Deutsch"));
    EXPECT_FALSE(languageLocal);
}

TEST_F(LanguageFile, MissingKeyGivesAnEmptyTextAndNoBuiltinFallback) {
    const auto withoutStatusWait = [](Lng key) { return key == Lng::lng_Global_StatusWait; };
    WriteLanguage(QStringLiteral("Deutsch"), LanguageFileBytes(withoutStatusWait));
    language.SetText(Lng::lng_Global_StatusWait, QStringLiteral("Status: wait"));
    Load(QStringLiteral("Deutsch"), QStringLiteral("Eng"));
    EXPECT_TRUE(language.Text(Lng::lng_Global_StatusWait).isEmpty());
    EXPECT_EQ(language.Text(Lng::lng_Global_StatusQueue), FileTextFor(Lng::lng_Global_StatusQueue));
    EXPECT_EQ(language.Text(Lng::lib_lng_Date_ShortDay7), FileTextFor(Lng::lib_lng_Date_ShortDay7));
    EXPECT_EQ(languageName, QLatin1String("Deutsch"));
    EXPECT_FALSE(languageLocal);
}

TEST_F(LanguageFile, KeyInTheWrongSectionDoesNotCount) {
    WriteLanguage(QStringLiteral("Mixed"),
                  "[Global]\r\nlng_MF_miRunTask=Start\r\n[MainForm]\r\nlng_MF_miStopTask=Halt\r\n");
    Load(QStringLiteral("Mixed"), QStringLiteral("Eng"));
    EXPECT_TRUE(language.Text(Lng::lng_MF_miRunTask).isEmpty());
    EXPECT_EQ(language.Text(Lng::lng_MF_miStopTask), QLatin1String("Halt"));
}

TEST_F(LanguageFile, JunkLinesAndForeignSectionsAreIgnored) {
    const QByteArray bytes = "garbage before any section\n"
                             "=no key\n"
                             "[Global]\n"
                             "; a comment\n"
                             "just some words\n"
                             "lng_Global_StatusWait=Status: wartet\n"
                             "\xFF\xFE broken bytes\n"
                             "[Unknown]\n"
                             "lng_Global_StatusQueue=not this one\n"
                             "[lib_lng_Date]\n"
                             "lib_lng_Date_DTToday=Heute um %s=\n"
                             "[unclosed\n";
    WriteLanguage(QStringLiteral("Junk"), bytes);
    Load(QStringLiteral("Junk"), QStringLiteral("Rus"));
    EXPECT_EQ(language.Text(Lng::lng_Global_StatusWait), QLatin1String("Status: wartet"));
    EXPECT_TRUE(language.Text(Lng::lng_Global_StatusQueue).isEmpty());
    EXPECT_EQ(language.Text(Lng::lib_lng_Date_DTToday), QLatin1String("Heute um %s="));
    EXPECT_EQ(languageName, QLatin1String("Junk"));
    EXPECT_FALSE(languageLocal);
}

TEST_F(LanguageFile, Utf8TextsSurviveWithAndWithoutByteOrderMark) {
    const QByteArray body = QStringLiteral("[Global]\r\nlng_Global_StatusWait=Статус: ожидание\r\n").toUtf8();
    WriteLanguage(QStringLiteral("WithBom"), "\xEF\xBB\xBF" + body);
    WriteLanguage(QStringLiteral("NoBom"), body);
    for (const char* name : {"WithBom", "NoBom"}) {
        Load(QString::fromLatin1(name), QStringLiteral("Eng"));
        EXPECT_EQ(language.Text(Lng::lng_Global_StatusWait), QStringLiteral("Статус: ожидание")) << name;
    }
}

TEST_F(LanguageFile, MissingFileFallsBackToTheSystemLanguage) {
    struct Case {
        const char* system;
        const char* statusWait;
    };
    for (const Case& c : {Case{"Rus", "Статус: ожидание"}, Case{"Eng", "Status: wait"}}) {
        Load(QStringLiteral("Deutsch"), QString::fromLatin1(c.system));
        EXPECT_EQ(languageName, QLatin1String(c.system));
        EXPECT_TRUE(languageLocal);
        EXPECT_EQ(language.Text(Lng::lng_Global_StatusWait), QString::fromUtf8(c.statusWait));
    }
}

// Names that do not lead to a readable file in the folder count as missing files.
TEST_F(LanguageFile, UnusableNamesFallBackToTheSystemLanguage) {
    WriteLanguage(QStringLiteral("Deutsch"), LanguageFileBytes());
    sandbox.writeFile(QStringLiteral("Outside.ini"), LanguageFileBytes());
    QDir().mkpath(LangFolder() + QStringLiteral("/Folder.ini"));
    for (const char* name : {"", "deutsch.INI", "../Outside", "Folder", "Deutsch.ini"}) {
        Load(QString::fromLatin1(name), QStringLiteral("Eng"));
        EXPECT_EQ(languageName, QLatin1String("Eng")) << '"' << name << '"';
        EXPECT_TRUE(languageLocal) << name;
        EXPECT_EQ(language.Text(Lng::lng_Global_StatusWait), QLatin1String("Status: wait")) << name;
    }
}

TEST_F(LanguageFile, FileReplacesEveryTextOfThePreviousLanguage) {
    Load(QStringLiteral("Missing"), QStringLiteral("Rus")); // Russian table first
    WriteLanguage(QStringLiteral("Small"), "[Global]\r\nlng_Global_StatusWait=wait\r\n");
    Load(QStringLiteral("Small"), QStringLiteral("Rus"));
    EXPECT_EQ(language.Text(Lng::lng_Global_StatusWait), QLatin1String("wait"));
    for (int i = 0; i < kLngCount; ++i) {
        const Lng key = static_cast<Lng>(i);
        if (key != Lng::lng_Global_StatusWait) {
            EXPECT_TRUE(language.Text(key).isEmpty()) << KeyName(key).toStdString();
        }
    }
}
