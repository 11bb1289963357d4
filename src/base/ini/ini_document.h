#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <list>
#include <vector>

// The in-memory copy of an INI file (Backup.ini, language files).
//
// Reading accepts UTF-8 with or without a byte-order mark and CR LF or LF line
// ends; writing produces a byte-order mark and CR LF. Section and key names
// compare without regard to case. A value is everything after the first "=".
// Lines that the program does not understand (comments, blank lines, junk) are
// kept where they are, and lines that nobody changed are written back byte for
// byte, so a save touches only what it names.
//
// No name or value can hold a line break: one given to the document is taken
// as a space, and so is a lone CR inside a line of the file (other readers end
// the line there). The file written never splits a line.
//
// Move-only: the section index points into the document's own section list. A
// move keeps those iterators valid (std::list moves its nodes); a copy would not.
class IniDocument {
public:
    IniDocument() = default;
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;
    IniDocument(IniDocument&&) noexcept = default;
    IniDocument& operator=(IniDocument&&) noexcept = default;

    static IniDocument FromBytes(const QByteArray& bytes);
    QByteArray ToBytes() const;

    bool HasSection(const QString& section) const;
    bool HasKey(const QString& section, const QString& key) const;
    // Section names in file order, as spelled where each first appears.
    QStringList SectionNames() const;
    // Key names of a section in file order (first spelling of each key).
    QStringList Keys(const QString& section) const;
    // (key, value) pairs of a section in file order.
    std::vector<std::pair<QString, QString>> Values(const QString& section) const;

    QString Value(const QString& section, const QString& key, const QString& defaultValue = {}) const;

    // Replaces an existing key's value in place; a new key goes to the end of
    // its section, a new section to the end of the file. Each line break in the
    // section, key or value is taken as a space rather than split the line.
    void SetValue(const QString& section, const QString& key, const QString& value);
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

private:
    struct Line {
        QByteArray raw;      // the line as read (without its end), or null when changed
        QString key;         // empty for lines that hold no key
        QString value;
        bool isKey = false;
    };
    // A section's lines are decoded on first use: a save pass touches a few
    // sections of a large file and never pays for the others.
    struct Section {
        QByteArray rawHeader; // "[name]" as read, null for a new section
        QString name;
        mutable std::vector<Line> lines;
        mutable QHash<QString, int> keyIndex; // lower-cased key -> first line holding it
        mutable bool decoded = true;
        void Decode() const;
        void Reindex() const;
    };

    // The section, decoded.
    Section* Find(const QString& section);
    const Section* Find(const QString& section) const;
    Section* FindRaw(const QString& section);
    static void DecodeLine(Line& line);
    // CR LF, CR and LF each become one space.
    static QString SingleLine(const QString& text);
    static QString Fold(const QString& name) { return SingleLine(name).toLower(); }

    std::vector<Line> fPreamble; // lines before the first section
    std::list<Section> fSections;
    QHash<QString, std::list<Section>::iterator> fSectionIndex;
};
