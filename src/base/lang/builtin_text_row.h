#pragma once

#include "lang/lang_keys.h"
#include "lang/language.h"

#include <QString>

#include <span>

// One row of a built-in table; the text is UTF-8 source text.
struct TBuiltinText {
    Lng key;
    const char* text;
};

inline void ApplyBuiltinTexts(TLanguage& language, std::span<const TBuiltinText> rows) {
    for (const TBuiltinText& row : rows)
        language.SetText(row.key, QString::fromUtf8(row.text));
}
