#include "ini/ini_document.h"

namespace {

const QByteArray kBom("\xEF\xBB\xBF", 3);

bool HasLineBreak(const QString& text) { return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')); }

} // namespace

QString IniDocument::SingleLine(const QString& text) {
    if (!HasLineBreak(text))
        return text;
    QString line = text;
    return line.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

void IniDocument::DecodeLine(Line& line) {
    const QByteArray& raw = line.raw;
    const qsizetype eq = raw.indexOf('=');
    if (eq <= 0)
        return;
    qsizetype first = 0;
    while (first < raw.size() && (raw.at(first) == ' ' || raw.at(first) == '\t'))
        ++first;
    if (first < raw.size() && raw.at(first) == ';')
        return;
    line.key = QString::fromUtf8(raw.constData(), eq).trimmed();
    line.value = QString::fromUtf8(raw.constData() + eq + 1, raw.size() - eq - 1);
    line.isKey = !line.key.isEmpty();
}

void IniDocument::Section::Decode() const {
    if (decoded)
        return;
    for (Line& line : lines)
        DecodeLine(line);
    decoded = true;
    Reindex();
}

void IniDocument::Section::Reindex() const {
    keyIndex.clear();
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (!lines[i].isKey)
            continue;
        const QString folded = Fold(lines[i].key);
        if (!keyIndex.contains(folded))
            keyIndex.insert(folded, i);
    }
}

IniDocument IniDocument::FromBytes(const QByteArray& bytes) {
    IniDocument doc;
    qsizetype pos = bytes.startsWith(kBom) ? kBom.size() : 0;
    Section* current = nullptr;
    const qsizetype size = bytes.size();
    while (pos < size) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = size;
        qsizetype lineEnd = end;
        if (lineEnd > pos && bytes.at(lineEnd - 1) == '\r')
            --lineEnd;
        QByteArray raw = bytes.mid(pos, lineEnd - pos);
        pos = end + 1;
        if (raw.contains('\r'))
            raw.replace('\r', ' ');

        const QByteArray trimmed = raw.trimmed();
        if (trimmed.size() >= 2 && trimmed.startsWith('[') && trimmed.endsWith(']')) {
            const QString name = QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2)).trimmed();
            current = doc.FindRaw(name);
            if (!current) {
                doc.fSections.push_back(Section{raw, name, {}, {}, false});
                auto it = std::prev(doc.fSections.end());
                doc.fSectionIndex.insert(Fold(name), it);
                current = &*it;
            }
            continue;
        }

        Line line;
        line.raw = raw;
        if (current) {
            current->lines.push_back(std::move(line));
        } else {
            DecodeLine(line);
            doc.fPreamble.push_back(std::move(line));
        }
    }
    // A file that ends with a line break gives no extra empty line.
    return doc;
}

QByteArray IniDocument::ToBytes() const {
    QByteArray out;
    out.reserve(1 << 16);
    out += kBom;
    auto writeLine = [&out](const Line& line) {
        if (!line.raw.isNull())
            out += line.raw;
        else
            out += line.key.toUtf8() + '=' + line.value.toUtf8();
        out += "\r\n";
    };
    for (const Line& line : fPreamble)
        writeLine(line);
    for (const Section& section : fSections) {
        if (!section.rawHeader.isNull())
            out += section.rawHeader;
        else
            out += '[' + section.name.toUtf8() + ']';
        out += "\r\n";
        for (const Line& line : section.lines)
            writeLine(line);
    }
    return out;
}

IniDocument::Section* IniDocument::FindRaw(const QString& section) {
    auto it = fSectionIndex.constFind(Fold(section));
    return it == fSectionIndex.constEnd() ? nullptr : &**it;
}

IniDocument::Section* IniDocument::Find(const QString& section) {
    Section* s = FindRaw(section);
    if (s)
        s->Decode();
    return s;
}

const IniDocument::Section* IniDocument::Find(const QString& section) const {
    auto it = fSectionIndex.constFind(Fold(section));
    if (it == fSectionIndex.constEnd())
        return nullptr;
    const Section* s = &**it;
    s->Decode();
    return s;
}

bool IniDocument::HasSection(const QString& section) const { return fSectionIndex.contains(Fold(section)); }

bool IniDocument::HasKey(const QString& section, const QString& key) const {
    const Section* s = Find(section);
    return s && s->keyIndex.contains(Fold(key));
}

QStringList IniDocument::SectionNames() const {
    QStringList names;
    names.reserve(static_cast<qsizetype>(fSections.size()));
    for (const Section& s : fSections)
        names << s.name;
    return names;
}

QStringList IniDocument::Keys(const QString& section) const {
    QStringList keys;
    const Section* s = Find(section);
    if (!s)
        return keys;
    for (int i = 0; i < static_cast<int>(s->lines.size()); ++i) {
        const Line& line = s->lines[i];
        // Only the first occurrence of a repeated key counts.
        if (line.isKey && s->keyIndex.value(Fold(line.key), -1) == i)
            keys << line.key;
    }
    return keys;
}

std::vector<std::pair<QString, QString>> IniDocument::Values(const QString& section) const {
    std::vector<std::pair<QString, QString>> values;
    const Section* s = Find(section);
    if (!s)
        return values;
    values.reserve(s->keyIndex.size());
    for (int i = 0; i < static_cast<int>(s->lines.size()); ++i) {
        const Line& line = s->lines[i];
        if (line.isKey && s->keyIndex.value(Fold(line.key), -1) == i)
            values.emplace_back(line.key, line.value);
    }
    return values;
}

QString IniDocument::Value(const QString& section, const QString& key, const QString& defaultValue) const {
    const Section* s = Find(section);
    if (!s)
        return defaultValue;
    auto it = s->keyIndex.constFind(Fold(key));
    return it == s->keyIndex.constEnd() ? defaultValue : s->lines[*it].value;
}

void IniDocument::SetValue(const QString& section, const QString& key, const QString& text) {
    const QString value = SingleLine(text);
    Section* s = Find(section);
    if (!s) {
        fSections.push_back(Section{QByteArray(), SingleLine(section), {}, {}, true});
        auto it = std::prev(fSections.end());
        fSectionIndex.insert(Fold(section), it);
        s = &*it;
    }
    const QString folded = Fold(key);
    auto it = s->keyIndex.constFind(folded);
    if (it != s->keyIndex.constEnd()) {
        Line& line = s->lines[*it];
        if (line.value == value)
            return;
        // The stored spelling of the key stays; only the value changes.
        line.value = value;
        line.raw = QByteArray();
        return;
    }
    Line line;
    line.key = SingleLine(key);
    line.value = value;
    line.isKey = true;
    // A new key goes after the section's last key, before trailing blank lines.
    int insertAt = static_cast<int>(s->lines.size());
    while (insertAt > 0 && !s->lines[insertAt - 1].isKey && s->lines[insertAt - 1].raw.trimmed().isEmpty())
        --insertAt;
    if (insertAt == static_cast<int>(s->lines.size())) {
        s->lines.push_back(std::move(line));
        s->keyIndex.insert(folded, insertAt);
    } else {
        s->lines.insert(s->lines.begin() + insertAt, std::move(line));
        s->Reindex();
    }
}

void IniDocument::DeleteKey(const QString& section, const QString& key) {
    Section* s = Find(section);
    if (!s)
        return;
    const QString folded = Fold(key);
    if (!s->keyIndex.contains(folded))
        return;
    std::erase_if(s->lines, [&](const Line& line) { return line.isKey && Fold(line.key) == folded; });
    s->Reindex();
}

void IniDocument::EraseSection(const QString& section) {
    auto it = fSectionIndex.find(Fold(section));
    if (it == fSectionIndex.end())
        return;
    fSections.erase(*it);
    fSectionIndex.erase(it);
}
