#include "lang/language.h"
#include "lang/language_choice.h"
#include "lang_test_support.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QDir>

#include <optional>

namespace {

enum class Texts { English, Russian, File };

struct StartCase {
    const char* title;
    const char* language;      // "Language" as read from Backup.ini
    bool languageLocal;        // "LanguageLocal" as read
    const char* system;        // detected system language
    bool fileExists;           // Lang/Deutsch.ini is there
    const char* expectLanguage;
    bool expectLocal;
    Texts expectTexts;
};

const StartCase kStartCases[] = {
    {"no option, Russian system", "", true, "Rus", false, "Rus", true, Texts::Russian},
    {"no option, other system", "", true, "Eng", false, "Eng", true, Texts::English},
    {"empty name overrides a stale file flag", "", false, "Rus", true, "Rus", true, Texts::Russian},
    {"built-in English on a Russian system", "Eng", true, "Rus", false, "Eng", true, Texts::English},
    {"built-in Russian on another system", "Rus", true, "Eng", false, "Rus", true, Texts::Russian},
    {"language file present", "Deutsch", false, "Rus", true, "Deutsch", false, Texts::File},
    {"language file missing, Russian system", "Deutsch", false, "Rus", false, "Rus", true, Texts::Russian},
    {"language file missing, other system", "Deutsch", false, "Eng", false, "Eng", true, Texts::English},
    {"unknown built-in name", "Deutsch", true, "Eng", true, "Eng", true, Texts::English},
    {"built-in names are spelled exactly", "rus", true, "Eng", false, "Eng", true, Texts::English},
};

} // namespace

class ChooseAtStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(ChooseAtStart, AppliesAndRecordsTheLanguage) {
    const StartCase& c = GetParam();
    SCOPED_TRACE(c.title);
    TestSandbox sandbox;
    const QString langFolder = sandbox.file(QStringLiteral("Lang"));
    QDir().mkpath(langFolder);
    if (c.fileExists)
        sandbox.writeFile(QStringLiteral("Lang/Deutsch.ini"), LanguageFileBytes());

    TLanguage language;
    QString name = QString::fromLatin1(c.language);
    bool local = c.languageLocal;
    ChooseLanguageAtStart(language, langFolder, QString::fromLatin1(c.system), name, local);

    EXPECT_EQ(name, QLatin1String(c.expectLanguage));
    EXPECT_EQ(local, c.expectLocal);
    const QString statusWait = language.Text(Lng::lng_Global_StatusWait);
    switch (c.expectTexts) {
    case Texts::English: EXPECT_EQ(statusWait, QLatin1String("Status: wait")); break;
    case Texts::Russian: EXPECT_EQ(statusWait, QStringLiteral("Статус: ожидание")); break;
    case Texts::File: EXPECT_EQ(statusWait, FileTextFor(Lng::lng_Global_StatusWait)); break;
    }
    EXPECT_FALSE(language.Text(Lng::lib_lng_Date_DTNoResult).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ChooseAtStart, ::testing::ValuesIn(kStartCases),
                         [](const ::testing::TestParamInfo<StartCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(SystemLanguage, RussianOnlyForARussianLocale) {
    struct Case {
        const char* locale;
        const char* expected;
    };
    const Case cases[] = {
        {"ru_RU.UTF-8", "Rus"}, {"ru_UA.KOI8-U", "Rus"}, {"ru", "Rus"},       {"ru.UTF-8", "Rus"},
        {"ru@latin", "Rus"},    {"RU_RU", "Rus"},        {"en_US.UTF-8", "Eng"}, {"C", "Eng"},
        {"POSIX", "Eng"},       {"", "Eng"},             {"uk_UA.UTF-8", "Eng"}, {"rue_UA", "Eng"},
        {"de_DE@euro", "Eng"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SystemLanguageOfLocale(QString::fromLatin1(c.locale)), QLatin1String(c.expected)) << c.locale;
}

namespace {

// Sets the locale variables for one test and puts the old values back.
class LocaleEnvironment {
public:
    LocaleEnvironment() {
        for (int i = 0; i < 3; ++i)
            if (qEnvironmentVariableIsSet(kNames[i]))
                fSaved[i] = qgetenv(kNames[i]);
    }
    ~LocaleEnvironment() {
        for (int i = 0; i < 3; ++i) {
            if (fSaved[i])
                qputenv(kNames[i], *fSaved[i]);
            else
                qunsetenv(kNames[i]);
        }
    }
    void Set(const char* lcAll, const char* lcMessages, const char* lang) const {
        const char* values[] = {lcAll, lcMessages, lang};
        for (int i = 0; i < 3; ++i) {
            if (values[i])
                qputenv(kNames[i], values[i]);
            else
                qunsetenv(kNames[i]);
        }
    }

private:
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<QByteArray> fSaved[3];
};

} // namespace

TEST(SystemLanguage, FirstNonEmptyLocaleVariableDecides) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, "ru_RU.UTF-8", "Rus"},
        {nullptr, "ru_RU.UTF-8", "en_US.UTF-8", "Rus"},
        {"en_US.UTF-8", "ru_RU.UTF-8", "ru_RU.UTF-8", "Eng"},
        {"", "", "ru_RU.UTF-8", "Rus"},
        {"ru_RU.UTF-8", "en_US.UTF-8", nullptr, "Rus"},
        {nullptr, nullptr, nullptr, "Eng"},
    };
    LocaleEnvironment environment;
    for (const Case& c : cases) {
        environment.Set(c.lcAll, c.lcMessages, c.lang);
        EXPECT_EQ(DetectSystemLanguage(), QLatin1String(c.expected))
            << (c.lcAll ? c.lcAll : "-") << " / " << (c.lcMessages ? c.lcMessages : "-") << " / "
            << (c.lang ? c.lang : "-");
    }
}

TEST(LanguageFiles, ListsTheIniFilesByBaseName) {
    TestSandbox sandbox;
    for (const char* file : {"Lang/Deutsch.ini", "Lang/français.ini", "Lang/Espanol.v2.ini", "Lang/readme.txt",
                             "Lang/Upper.INI", "Lang/.ini", "Lang/sub/Nested.ini"})
        sandbox.writeFile(QString::fromUtf8(file), "[Global]\r\n");
    QDir().mkpath(sandbox.file(QStringLiteral("Lang/Folder.ini")));

    const QStringList names = ListLanguageFiles(sandbox.file(QStringLiteral("Lang")));
    const QStringList expected{QStringLiteral("Deutsch"), QStringLiteral("Espanol.v2"), QStringLiteral("français")};
    EXPECT_EQ(names, expected);
}

TEST(LanguageFiles, MissingFolderListsNothing) {
    TestSandbox sandbox;
    EXPECT_TRUE(ListLanguageFiles(sandbox.file(QStringLiteral("NoSuchFolder"))).isEmpty());
    EXPECT_TRUE(ListLanguageFiles(QString()).isEmpty());
}

// A file that the list shows loads again under the listed name.
TEST(LanguageFiles, ListedNamesLoad) {
    TestSandbox sandbox;
    sandbox.writeFile(QStringLiteral("Lang/Deutsch.ini"), LanguageFileBytes());
    const QString folder = sandbox.file(QStringLiteral("Lang"));
    const QStringList names = ListLanguageFiles(folder);
    ASSERT_EQ(names.size(), 1);
    TLanguage language;
    QString name = names.first();
    bool local = false;
    LoadLanguageFile(language, folder, names.first(), QStringLiteral("Eng"), name, local);
    EXPECT_EQ(language.Text(Lng::lib_lng_btn_Add), FileTextFor(Lng::lib_lng_btn_Add));
    EXPECT_FALSE(local);
}
