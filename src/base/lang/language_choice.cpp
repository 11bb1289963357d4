#include "lang/language_choice.h"

#include "ini/ini_document.h"
#include "lang/builtin_tables.h"
#include "lang/language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace {

const QString kLanguageFileSuffix = QStringLiteral(".ini");

// Real language files are a few dozen kilobytes; anything far larger is not one,
// and reading it whole could exhaust memory.
constexpr qint64 kMaxLanguageFileSize = 16 * 1024 * 1024;

// The language part of a locale name: "ru" of "ru_RU.UTF-8@euro".
QString LocaleLanguage(const QString& locale) {
    qsizetype end = 0;
    while (end < locale.size()) {
        const QChar c = locale.at(end);
        if (c == u'_' || c == u'.' || c == u'@' || c == u'-')
            break;
        ++end;
    }
    return locale.left(end);
}

// The name comes from Backup.ini; a name with a separator would reach outside the
// language folder, so it is treated like a missing file.
bool IsPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\');
}

// The file's bytes; false when it cannot be read as a whole.
bool ReadLanguageFile(const QString& path, QByteArray& bytes) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxLanguageFileSize)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

QString SystemLanguageOfLocale(const QString& locale) {
    const bool russian = LocaleLanguage(locale.trimmed()).compare(u"ru", Qt::CaseInsensitive) == 0;
    return QString::fromLatin1(russian ? kBuiltinRussianName : kBuiltinEnglishName);
}

QString DetectSystemLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return SystemLanguageOfLocale(value);
    }
    return SystemLanguageOfLocale(QString());
}

bool ApplyBuiltinLanguage(TLanguage& language, const QString& name, QString& languageName, bool& languageLocal) {
    if (name == QLatin1String(kBuiltinRussianName)) {
        SetBuiltinRussian(language, languageName, languageLocal);
        return true;
    }
    if (name == QLatin1String(kBuiltinEnglishName)) {
        SetBuiltinEnglish(language, languageName, languageLocal);
        return true;
    }
    return false;
}

void UseSystemLanguage(TLanguage& language, const QString& systemLanguage, QString& languageName,
                       bool& languageLocal) {
    if (systemLanguage == QLatin1String(kBuiltinRussianName))
        SetBuiltinRussian(language, languageName, languageLocal);
    else
        SetBuiltinEnglish(language, languageName, languageLocal);
}

void LoadLanguageFile(TLanguage& language, const QString& langFolder, const QString& name,
                      const QString& systemLanguage, QString& languageName, bool& languageLocal) {
    QByteArray bytes;
    if (langFolder.isEmpty() || !IsPlainName(name)
        || !ReadLanguageFile(QDir(langFolder).filePath(name + kLanguageFileSuffix), bytes)) {
        UseSystemLanguage(language, systemLanguage, languageName, languageLocal);
        return;
    }
    IniDocument document;
    try {
        document = IniDocument::FromBytes(bytes);
    } catch (const std::exception&) {
        UseSystemLanguage(language, systemLanguage, languageName, languageLocal);
        return;
    }
    // Every variable is assigned, so nothing of the previous language survives.
    for (int i = 0; i < kLngCount; ++i) {
        const Lng key = static_cast<Lng>(i);
        const TLangVariableInfo& info = LangVariableInfo(key);
        language.SetText(key, document.Value(QLatin1String(info.section), QLatin1String(info.key)));
    }
}

void ChooseLanguageAtStart(TLanguage& language, const QString& langFolder, const QString& systemLanguage,
                           QString& languageName, bool& languageLocal) {
    if (languageName.isEmpty()) {
        languageLocal = true;
        languageName = systemLanguage;
    }
    // A copy: the name must not change under the routines that record the result.
    const QString chosen = languageName;
    if (!languageLocal) {
        LoadLanguageFile(language, langFolder, chosen, systemLanguage, languageName, languageLocal);
        return;
    }
    if (!ApplyBuiltinLanguage(language, chosen, languageName, languageLocal))
        UseSystemLanguage(language, systemLanguage, languageName, languageLocal);
}

QStringList ListLanguageFiles(const QString& langFolder) {
    QStringList names;
    const QDir folder(langFolder);
    if (langFolder.isEmpty() || !folder.exists())
        return names;
    // Matched with case so that every listed name loads again as name + ".ini".
    const QFileInfoList files = folder.entryInfoList({QStringLiteral("*.ini")}, QDir::Files | QDir::CaseSensitive,
                                                     QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        const QString name = file.fileName().chopped(kLanguageFileSuffix.size());
        if (!name.isEmpty())
            names << name;
    }
    return names;
}
