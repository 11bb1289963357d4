#pragma once

#include "ini/ini_document.h"
#include "util/date_time.h"

#include <QString>
#include <QStringList>

// The two shapes in which the settings file keeps a list.
//
// A line list fills a section of its own, one line a key, written as "v0",
// "v1", ...; the reader takes the values in file order whatever the keys are
// called (files edited by hand name them freely).
//
// A numbered list keeps item n as one key per field, named field + n ("f1_1",
// "f2_1", "f1_2", ...); it ends at the first n whose lead field is missing, so
// a gap cuts the list there.

// The values of section in file order, trimmed, without the blank ones.
QStringList IniReadLines(const IniDocument& ini, const QString& section);
// Erases section and writes the lines that are not blank, as they are,
// numbered from "v0"; no line at all leaves no section.
void IniWriteLines(IniDocument& ini, const QString& section, const QStringList& lines);

// The fields of item n of a numbered list, for its reader.
class TIniItemReader {
public:
    TIniItemReader(const IniDocument& ini, const QString& section, int number)
        : fIni(ini), fSection(section), fNumber(QString::number(number)) {}

    bool Has(const QString& field) const { return fIni.HasKey(fSection, Key(field)); }
    QString String(const QString& field) const;
    bool Bool(const QString& field, bool defaultValue) const;
    int Integer(const QString& field, int defaultValue) const;
    qint64 Int64(const QString& field, qint64 defaultValue) const;
    // Throws EConvertError for a stamp that names an impossible date.
    TDateTime DateTime(const QString& field) const;

private:
    QString Key(const QString& field) const { return field + fNumber; }

    const IniDocument& fIni;
    const QString fSection;
    const QString fNumber;
};

// The fields of item n of a numbered list, for its writer.
class TIniItemWriter {
public:
    TIniItemWriter(IniDocument& ini, const QString& section, int number)
        : fIni(ini), fSection(section), fNumber(QString::number(number)) {}

    void SetString(const QString& field, const QString& value);
    void SetBool(const QString& field, bool value);
    void SetInteger(const QString& field, qint64 value);
    void SetDateTime(const QString& field, TDateTime value);

private:
    QString Key(const QString& field) const { return field + fNumber; }

    IniDocument& fIni;
    const QString fSection;
    const QString fNumber;
};

// Calls read(item) for the items first, first + 1, ... of section while the
// item has its lead field.
template <typename Read>
void IniReadNumberedList(const IniDocument& ini, const QString& section, const QString& leadField, int first,
                         Read&& read) {
    for (int n = first;; ++n) {
        const TIniItemReader item(ini, section, n);
        if (!item.Has(leadField))
            return;
        read(item);
    }
}

// Erases section and calls write(item, element) for each element in order,
// the items numbered from first.
template <typename Elements, typename Write>
void IniWriteNumberedList(IniDocument& ini, const QString& section, int first, const Elements& elements,
                          Write&& write) {
    ini.EraseSection(section);
    int n = first;
    for (const auto& element : elements) {
        TIniItemWriter item(ini, section, n++);
        write(item, element);
    }
}
