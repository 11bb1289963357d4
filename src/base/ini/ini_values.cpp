#include "ini/ini_values.h"

#include "util/code_page.h"
#include "util/zstream.h"

#include <QStringDecoder>

#include <limits>

namespace {

struct TByteOrderMark {
    QByteArrayView bytes;
    QStringConverter::Encoding encoding;
};

// Lists written by other tools may carry a byte-order mark; it names the encoding.
constexpr TByteOrderMark kByteOrderMarks[] = {
    {QByteArrayView("\xEF\xBB\xBF", 3), QStringConverter::Utf8},
    {QByteArrayView("\xFF\xFE", 2), QStringConverter::Utf16LE},
    {QByteArrayView("\xFE\xFF", 2), QStringConverter::Utf16BE},
};

QString DecodePackedText(const QByteArray& raw) {
    for (const TByteOrderMark& mark : kByteOrderMarks)
        if (raw.startsWith(mark.bytes)) {
            QStringDecoder decoder(mark.encoding, QStringConverter::Flag::Stateless);
            return decoder.decode(QByteArrayView(raw).sliced(mark.bytes.size()));
        }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(raw);
    return utf8.hasError() ? DecodeAnsi(raw) : text;
}

} // namespace

bool ParseIniInteger(const QString& text, qint64& value) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    // Qt accepts a sign after the prefix ("$-1"); the program does not.
    if (ok && !t.startsWith(QLatin1Char('-')) && !t.startsWith(QLatin1Char('+')) && v >= 0 &&
        (t.contains(QLatin1Char('-')) || t.contains(QLatin1Char('+'))))
        ok = false;
    if (ok)
        value = v;
    return ok;
}

int IniReadInteger(const IniDocument& ini, const QString& section, const QString& key, int defaultValue) {
    qint64 v = 0;
    if (!ParseIniInteger(ini.Value(section, key), v) || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max())
        return defaultValue;
    return static_cast<int>(v);
}

qint64 IniReadInt64(const IniDocument& ini, const QString& section, const QString& key, qint64 defaultValue) {
    qint64 v = 0;
    return ParseIniInteger(ini.Value(section, key), v) ? v : defaultValue;
}

bool IniReadBool(const IniDocument& ini, const QString& section, const QString& key, bool defaultValue) {
    qint64 v = 0;
    return ParseIniInteger(ini.Value(section, key), v) ? v != 0 : defaultValue;
}

QString IniReadString(const IniDocument& ini, const QString& section, const QString& key, const QString& defaultValue) {
    return ini.Value(section, key, defaultValue);
}

TDateTime IniReadDateTime(const IniDocument& ini, const QString& section, const QString& key) {
    return StampToDateTime(ini.Value(section, key).trimmed());
}

void IniWriteInteger(IniDocument& ini, const QString& section, const QString& key, qint64 value) {
    ini.SetValue(section, key, QString::number(value));
}

void IniWriteBool(IniDocument& ini, const QString& section, const QString& key, bool value) {
    ini.SetValue(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniWriteDateTime(IniDocument& ini, const QString& section, const QString& key, TDateTime value) {
    ini.SetValue(section, key, DateTimeToStamp(value));
}

QString PackList(const QStringList& lines, bool* ok) {
    QByteArray text;
    for (const QString& line : lines) {
        // A line cannot hold a line break: a UID with one is written as the
        // settings file writes its name (each break a space), so both agree.
        QByteArray bytes = line.toUtf8();
        if (bytes.contains('\r') || bytes.contains('\n'))
            bytes.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
        text += bytes + "\r\n";
    }
    const QByteArray packed = CompressStream(text);
    if (ok)
        *ok = !packed.isEmpty();
    return QString::fromLatin1(packed.toHex().toUpper());
}

QStringList UnpackList(const QString& value) {
    const QByteArray hex = value.trimmed().toLatin1();
    if (hex.isEmpty() || hex.size() % 2 != 0)
        return {};
    for (char c : hex)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return {};
    QByteArray raw;
    if (!DecompressStream(QByteArray::fromHex(hex), raw, kMaxPackedListSize))
        return {};
    QStringList lines = DecodePackedText(raw).split(QStringLiteral("\r\n"));
    // The text ends with CR LF, so the split leaves one empty tail.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
