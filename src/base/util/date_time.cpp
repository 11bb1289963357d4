#include "util/date_time.h"

#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMsecPerDay = 86400000.0;

// Splits a day count into whole days and milliseconds of the day. For values
// before the epoch the fraction still counts forward from midnight.
void Split(TDateTime value, qint64& days, qint64& msecOfDay) {
    double whole = std::trunc(value);
    double frac = std::fabs(value - whole);
    qint64 ms = std::llround(frac * kMsecPerDay);
    days = static_cast<qint64>(whole);
    if (ms >= static_cast<qint64>(kMsecPerDay)) {
        ms -= static_cast<qint64>(kMsecPerDay);
        days += value < 0 ? -1 : 1;
    }
    msecOfDay = ms;
}

int PieceToInt(const QString& text, int from, int len) {
    bool ok = false;
    int v = text.mid(from, len).toInt(&ok);
    return ok ? v : 0;
}

} // namespace

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec,
                       TDateTime& result) {
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1 || year > 9999)
        return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    const double days = static_cast<double>(kEpoch.daysTo(date));
    const double time = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / kMsecPerDay;
    result = days >= 0 ? days + time : days - time;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r = 0;
    if (!TryEncodeDateTime(year, month, day, 0, 0, 0, 0, r))
        throw EConvertError(QStringLiteral("Invalid date %1-%2-%3").arg(year).arg(month).arg(day).toStdString());
    return r;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime r = 0;
    if (!TryEncodeDateTime(1899, 12, 30, hour, minute, second, msec, r))
        throw EConvertError(QStringLiteral("Invalid time %1:%2:%3").arg(hour).arg(minute).arg(second).toStdString());
    return r;
}

TDateTimeParts DecodeDateTime(TDateTime value) {
    qint64 days = 0, ms = 0;
    Split(value, days, ms);
    TDateTimeParts p;
    const QDate d = kEpoch.addDays(days);
    p.year = d.year();
    p.month = d.month();
    p.day = d.day();
    p.dayOfWeek = d.dayOfWeek();
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.msec = static_cast<int>(ms % 1000);
    return p;
}

TDateTime FromQDateTime(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    TDateTime r = 0;
    TryEncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec(), r);
    return r;
}

QDateTime ToQDateTime(TDateTime value, Qt::TimeSpec spec) {
    const TDateTimeParts p = DecodeDateTime(value);
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second, p.msec), spec);
}

TDateTime Now() { return FromQDateTime(QDateTime::currentDateTime()); }

TDateTime Today() { return DateOf(Now()); }

TDateTime DateOf(TDateTime value) { return std::trunc(value); }

TDateTime TimeOf(TDateTime value) { return std::fabs(value - std::trunc(value)); }

QString DateTimeToStamp(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    return QStringLiteral("%1%2%3%4%5%6")
        .arg(p.year, 4, 10, QLatin1Char('0'))
        .arg(p.month, 2, 10, QLatin1Char('0'))
        .arg(p.day, 2, 10, QLatin1Char('0'))
        .arg(p.hour, 2, 10, QLatin1Char('0'))
        .arg(p.minute, 2, 10, QLatin1Char('0'))
        .arg(p.second, 2, 10, QLatin1Char('0'));
}

TDateTime StampToDateTime(const QString& text) {
    if (text.length() != 14)
        return 0;
    const int year = PieceToInt(text, 0, 4), month = PieceToInt(text, 4, 2), day = PieceToInt(text, 6, 2);
    const int hour = PieceToInt(text, 8, 2), minute = PieceToInt(text, 10, 2), second = PieceToInt(text, 12, 2);
    TDateTime r = 0;
    if (!TryEncodeDateTime(year, month, day, hour, minute, second, 0, r))
        throw EConvertError(("Invalid time stamp " + text).toStdString());
    return r;
}

QString TimeToText6(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    return QStringLiteral("%1%2%3")
        .arg(p.hour, 2, 10, QLatin1Char('0'))
        .arg(p.minute, 2, 10, QLatin1Char('0'))
        .arg(p.second, 2, 10, QLatin1Char('0'));
}

TDateTime Text6ToTime(const QString& text) {
    const int hour = PieceToInt(text, 0, 2), minute = PieceToInt(text, 2, 2), second = PieceToInt(text, 4, 2);
    TDateTime r = 0;
    if (!TryEncodeDateTime(1899, 12, 30, hour, minute, second, 0, r))
        throw EConvertError(("Invalid time " + text).toStdString());
    return r;
}

TDateTime Text8ToDate(const QString& text) {
    if (text.length() != 8)
        return 0;
    const int day = PieceToInt(text, 0, 2), month = PieceToInt(text, 2, 2), year = PieceToInt(text, 4, 4);
    TDateTime r = 0;
    if (!TryEncodeDateTime(year, month, day, 0, 0, 0, 0, r))
        throw EConvertError(("Invalid date " + text).toStdString());
    return r;
}

TDateTime TimeToMinute(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    return EncodeTime(p.hour, p.minute, 0, 0);
}

TDateTime DateTimeToMinute(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    TDateTime r = 0;
    TryEncodeDateTime(p.year, p.month, p.day, p.hour, p.minute, 0, 0, r);
    return r;
}

TDateTime JoinDateTime(TDateTime datePart, TDateTime timePart) {
    const TDateTimeParts d = DecodeDateTime(datePart);
    const TDateTimeParts t = DecodeDateTime(timePart);
    TDateTime r = 0;
    TryEncodeDateTime(d.year, d.month, d.day, t.hour, t.minute, t.second, t.msec, r);
    return r;
}
