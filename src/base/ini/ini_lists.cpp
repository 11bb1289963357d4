#include "ini/ini_lists.h"

#include "ini/ini_values.h"

QStringList IniReadLines(const IniDocument& ini, const QString& section) {
    QStringList lines;
    for (const auto& [key, value] : ini.Values(section)) {
        const QString line = value.trimmed();
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

void IniWriteLines(IniDocument& ini, const QString& section, const QStringList& lines) {
    ini.EraseSection(section);
    int k = 0;
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty())
            ini.SetValue(section, QStringLiteral("v%1").arg(k++), line);
}

QString TIniItemReader::String(const QString& field) const { return IniReadString(fIni, fSection, Key(field)); }

bool TIniItemReader::Bool(const QString& field, bool defaultValue) const {
    return IniReadBool(fIni, fSection, Key(field), defaultValue);
}

int TIniItemReader::Integer(const QString& field, int defaultValue) const {
    return IniReadInteger(fIni, fSection, Key(field), defaultValue);
}

qint64 TIniItemReader::Int64(const QString& field, qint64 defaultValue) const {
    return IniReadInt64(fIni, fSection, Key(field), defaultValue);
}

TDateTime TIniItemReader::DateTime(const QString& field) const { return IniReadDateTime(fIni, fSection, Key(field)); }

void TIniItemWriter::SetString(const QString& field, const QString& value) {
    fIni.SetValue(fSection, Key(field), value);
}

void TIniItemWriter::SetBool(const QString& field, bool value) { IniWriteBool(fIni, fSection, Key(field), value); }

void TIniItemWriter::SetInteger(const QString& field, qint64 value) {
    IniWriteInteger(fIni, fSection, Key(field), value);
}

void TIniItemWriter::SetDateTime(const QString& field, TDateTime value) {
    IniWriteDateTime(fIni, fSection, Key(field), value);
}
