#pragma once

#include "lang/lang_keys.h"

#include <QString>

#include <array>
#include <shared_mutex>

// The current texts of all language variables. Every text is empty until a
// built-in table or a language file is applied.
//
// Texts are assigned on the main thread; worker threads read some of them while
// they build status texts. SetText and TextCopy therefore take a lock, and each
// assignment replaces a text as a whole. Text() hands out a reference and is meant
// for the main thread, which is the only writer.
class TLanguage {
public:
    TLanguage() = default;
    TLanguage(const TLanguage&) = delete;
    TLanguage& operator=(const TLanguage&) = delete;

    // An empty text for a value outside the enumeration.
    const QString& Text(Lng key) const;
    QString TextCopy(Lng key) const;
    // Ignored for a value outside the enumeration.
    void SetText(Lng key, const QString& text);
    void Clear();

    // The language the program speaks in: the one installed with SetCurrent, or,
    // while none is installed, a default instance that lives as long as the
    // process and stays empty until a table is applied to it. The application
    // context owns its TLanguage and installs it at start; tests install their own.
    static TLanguage& Current();
    // Installs a language (not owned; it must outlive its installation).
    // nullptr goes back to the default instance.
    static void SetCurrent(TLanguage* language);

private:
    mutable std::shared_mutex fLock;
    std::array<QString, kLngCount> fTexts;
};

// Installs a language for the lifetime of the guard and then puts the previous
// one back, so a test or a tool cannot leave its language behind.
class TScopedCurrentLanguage {
public:
    explicit TScopedCurrentLanguage(TLanguage& language);
    ~TScopedCurrentLanguage();
    TScopedCurrentLanguage(const TScopedCurrentLanguage&) = delete;
    TScopedCurrentLanguage& operator=(const TScopedCurrentLanguage&) = delete;

private:
    TLanguage* fPrevious;
};

// The current text of a variable (a copy, safe from any thread).
QString LngText(Lng key);
