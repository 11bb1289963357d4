#include "util/text_format.h"

#include <limits>

namespace {

// n / unit rounded to hundredths, halves away from zero, in exact integer
// arithmetic: the division of a byte count by a power of two often ends in an
// exact half, where binary floating point would round either way.
QString FormatUnits(qint64 size, qint64 unit, const char* suffix) {
    const qint64 whole = size / unit;
    const qint64 rest = size % unit; // below 2^30, so rest * 100 cannot overflow
    const qint64 hundredths = whole * 100 + (rest * 100 + unit / 2) / unit;
    const qint64 intPart = hundredths / 100;
    const qint64 fraction = hundredths % 100;
    QString text = QString::number(intPart);
    if (fraction != 0) {
        text += QLatin1Char('.');
        text += QLatin1Char(static_cast<char>('0' + fraction / 10));
        if (fraction % 10 != 0)
            text += QLatin1Char(static_cast<char>('0' + fraction % 10));
    }
    return text + QLatin1Char(' ') + QLatin1String(suffix);
}

} // namespace

QString SizeToText(qint64 size) {
    constexpr qint64 kKb = 1024;
    constexpr qint64 kMb = kKb * 1024;
    constexpr qint64 kGb = kMb * 1024;
    if (size >= kGb)
        return FormatUnits(size, kGb, "gb");
    if (size >= kMb)
        return FormatUnits(size, kMb, "mb");
    if (size >= kKb)
        return FormatUnits(size, kKb, "kb");
    return QString::number(size) + QLatin1String(" b");
}

qint64 TextToInt64(const QString& text) {
    QString rest = text.trimmed();
    const bool negative = rest.startsWith(QLatin1Char('-'));
    if (negative)
        rest.remove(0, 1);
    quint64 magnitude = 0;
    constexpr quint64 kMax = static_cast<quint64>(std::numeric_limits<qint64>::max());
    for (const QChar c : rest) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        const quint64 digit = static_cast<quint64>(c.unicode() - u'0');
        if (magnitude > (kMax - digit) / 10)
            return 0;
        magnitude = magnitude * 10 + digit;
    }
    const qint64 value = static_cast<qint64>(magnitude);
    return negative ? -value : value;
}

QString BoolToBit(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }
