#pragma once

#include "lang/lang_keys.h"
#include "lang/language.h"

#include <QByteArray>
#include <QString>

#include <functional>

// Helpers shared by the language tests.

inline QString KeyName(Lng key) { return QString::fromLatin1(LangVariableInfo(key).key); }

inline bool IsLibraryVariable(Lng key) {
    return QString::fromLatin1(LangVariableInfo(key).section).startsWith(QLatin1String("lib_"));
}

// A text that names its key, so a test can tell where every text came from.
inline QString FileTextFor(Lng key) { return QStringLiteral("file text of ") + KeyName(key); }

// A language file (UTF-8 with BOM, CR LF) holding every variable in its own
// section with FileTextFor as its value, except the keys that skip() names.
inline QByteArray LanguageFileBytes(const std::function<bool(Lng)>& skip = {}) {
    QByteArray bytes("\xEF\xBB\xBF");
    QString section;
    for (int i = 0; i < kLngCount; ++i) {
        const Lng key = static_cast<Lng>(i);
        const QString keySection = QString::fromLatin1(LangVariableInfo(key).section);
        if (keySection != section) {
            section = keySection;
            bytes += "[" + section.toUtf8() + "]\r\n";
        }
        if (skip && skip(key))
            continue;
        bytes += KeyName(key).toUtf8() + "=" + FileTextFor(key).toUtf8() + "\r\n";
    }
    return bytes;
}
