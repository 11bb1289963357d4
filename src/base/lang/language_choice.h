#pragma once

#include <QString>
#include <QStringList>

class TLanguage;

// The system language as a built-in table name: "Rus" when the locale's language
// is Russian, "Eng" for every other locale. The locale is the first non-empty one
// of LC_ALL, LC_MESSAGES and LANG, as the C library picks it for messages.
// The program detects it once at start and keeps the result for the whole run.
QString DetectSystemLanguage();
// The same for a given locale name such as "ru_RU.UTF-8".
QString SystemLanguageOfLocale(const QString& locale);

// Applies the built-in table named "Rus" or "Eng" (exact spelling) and records
// it in the options; false, with nothing changed, for any other name.
bool ApplyBuiltinLanguage(TLanguage& language, const QString& name, QString& languageName, bool& languageLocal);

// Applies the built-in table of the system language and records it in the
// options ("LanguageLocal" true). Anything but "Rus" counts as English.
void UseSystemLanguage(TLanguage& language, const QString& systemLanguage, QString& languageName,
                       bool& languageLocal);

// Reads every variable from langFolder/<name>.ini (UTF-8 INI): each key from its
// section, a missing key giving an empty text. A missing file or any read error
// falls back to UseSystemLanguage; only that fallback changes the options.
void LoadLanguageFile(TLanguage& language, const QString& langFolder, const QString& name,
                      const QString& systemLanguage, QString& languageName, bool& languageLocal);

// The choice at start, right after the options were read: an empty "Language"
// means the system language's built-in table; "LanguageLocal" true means a
// built-in table, false a language file. A built-in name other than "Rus" or
// "Eng" also gets the system language's table, recorded in the options, so the
// program never starts without texts.
void ChooseLanguageAtStart(TLanguage& language, const QString& langFolder, const QString& systemLanguage,
                           QString& languageName, bool& languageLocal);

// Names (without ".ini") of the language files in the folder, sorted without
// regard to case; empty when the folder does not exist.
QStringList ListLanguageFiles(const QString& langFolder);
