#pragma once

#include <QString>

class TLanguage;

// Names of the two built-in tables as stored in the "Language" option.
inline constexpr char kBuiltinEnglishName[] = "Eng";
inline constexpr char kBuiltinRussianName[] = "Rus";

// Each applies a whole built-in table: all application texts, then (through the
// library routine) all dialog-library and date texts. The "Language" and
// "LanguageLocal" options travel with the texts, so they are set here too.
void SetBuiltinEnglish(TLanguage& language, QString& languageName, bool& languageLocal);
void SetBuiltinRussian(TLanguage& language, QString& languageName, bool& languageLocal);

// Only the library part of a table (sections beginning with "lib_").
void SetBuiltinEnglishLibrary(TLanguage& language);
void SetBuiltinRussianLibrary(TLanguage& language);
