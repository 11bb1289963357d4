#pragma once

#include <QDateTime>
#include <QString>

#include <stdexcept>

// Date-times are day counts since 1899-12-30 with the time of day as the
// fraction. Settings, UIDs and schedule entries are built on this format.
using TDateTime = double;

// Raised where a text names an impossible date or time; the settings loaders
// catch it and stop loading the section family it occurred in.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Builders: throw EConvertError for impossible values.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
// True and the value when the parts form a valid date-time.
bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec,
                       TDateTime& result);

struct TDateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, msec = 0;
    int dayOfWeek = 6; // ISO: Monday = 1 ... Sunday = 7
};
TDateTimeParts DecodeDateTime(TDateTime value);

// Local clock, day-count form.
TDateTime Now();
TDateTime Today();

// The whole-day part (date) and the fraction (time of day).
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

// Conversions to and from Qt's type; the day count carries no time zone, so
// the QDateTime is taken and built in the given spec (local time by default).
QDateTime ToQDateTime(TDateTime value, Qt::TimeSpec spec = Qt::LocalTime);
TDateTime FromQDateTime(const QDateTime& value);

// "yyyymmddhhnnss". Reading: any other length gives 0; a piece that is not a
// number counts as 0; an impossible date-time throws EConvertError.
QString DateTimeToStamp(TDateTime value);
TDateTime StampToDateTime(const QString& text);

// Time of day as "hhnnss". Reading takes the first three pairs of characters
// (no length check; a piece that is not a number counts as 0); an impossible
// time throws EConvertError.
QString TimeToText6(TDateTime value);
TDateTime Text6ToTime(const QString& text);

// "ddmmyyyy" (day, month, year). Any other length gives 0; an impossible date
// throws EConvertError.
TDateTime Text8ToDate(const QString& text);

// Hour and minute of the value as a time of day (no date, seconds 0).
TDateTime TimeToMinute(TDateTime value);
// Date, hour and minute of the value (seconds and milliseconds 0).
TDateTime DateTimeToMinute(TDateTime value);
// The date of datePart with the whole time of day (milliseconds included) of timePart.
TDateTime JoinDateTime(TDateTime datePart, TDateTime timePart);
