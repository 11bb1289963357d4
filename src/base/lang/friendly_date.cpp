#include "lang/friendly_date.h"

#include "lang/language.h"

#include <QDate>

namespace {

static_assert(static_cast<int>(Lng::lib_lng_Date_Day7) - static_cast<int>(Lng::lib_lng_Date_Day1) == 6,
              "week day words must be consecutive");
static_assert(static_cast<int>(Lng::lib_lng_Date_MonthText12) - static_cast<int>(Lng::lib_lng_Date_MonthText1) == 11,
              "month words must be consecutive");

Lng DayWordKey(int dayOfWeek) { return static_cast<Lng>(static_cast<int>(Lng::lib_lng_Date_Day1) + dayOfWeek - 1); }

Lng MonthWordKey(int month) { return static_cast<Lng>(static_cast<int>(Lng::lib_lng_Date_MonthText1) + month - 1); }

// The first "%s" of a text replaced by the argument; a text without one stays as
// it is, since a language file may have lost its placeholder.
QString FillFirst(QString format, const QString& argument) {
    const qsizetype at = format.indexOf(QLatin1String("%s"));
    return at < 0 ? format : format.replace(at, 2, argument);
}

QString TimeText(const TDateTimeParts& parts) {
    return QStringLiteral("%1:%2").arg(parts.hour, 2, 10, QLatin1Char('0')).arg(parts.minute, 2, 10, QLatin1Char('0'));
}

// "5 february 2024 y."
QString DateText(const TLanguage& language, const TDateTimeParts& parts) {
    return QString::number(parts.day) + u' ' + language.TextCopy(MonthWordKey(parts.month)) + u' '
           + QString::number(parts.year) + u' ' + language.TextCopy(Lng::lib_lng_Date_YearShort);
}

bool IsMidnight(const TDateTimeParts& parts) {
    return parts.hour == 0 && parts.minute == 0 && parts.second == 0 && parts.msec == 0;
}

} // namespace

QString FriendlyDateText(const TLanguage& language, TDateTime value, bool full, TDateTime now) {
    if (value == 0)
        return language.TextCopy(Lng::lib_lng_Date_DTNoResult);

    const TDateTimeParts parts = DecodeDateTime(value);
    if (full) {
        QString text = DateText(language, parts);
        if (!IsMidnight(parts))
            text += u' ' + TimeText(parts);
        return text;
    }

    const TDateTimeParts today = DecodeDateTime(now);
    const qint64 daysAhead =
        QDate(today.year, today.month, today.day).daysTo(QDate(parts.year, parts.month, parts.day));
    const QString time = TimeText(parts);
    if (daysAhead == 0)
        return FillFirst(language.TextCopy(Lng::lib_lng_Date_DTToday), time);
    if (daysAhead == -1)
        return FillFirst(language.TextCopy(Lng::lib_lng_Date_DTYesterday), time);
    if (daysAhead == 1)
        return FillFirst(language.TextCopy(Lng::lib_lng_Date_DTTomorrow), time);

    const QString weekDay = language.TextCopy(DayWordKey(parts.dayOfWeek));
    if (daysAhead >= 2 && daysAhead <= 6)
        return weekDay + QStringLiteral(", ") + time;
    return weekDay + QStringLiteral(", ") + DateText(language, parts) + QStringLiteral(", ") + time;
}

QString FriendlyDateText(TDateTime value, bool full, TDateTime now) {
    return FriendlyDateText(TLanguage::Current(), value, full, now);
}
