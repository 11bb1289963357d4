#include "util/date_time.h"

#include <gtest/gtest.h>

namespace {

// Calendar form of a day count, so that failures show a readable moment.
QString Show(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    return QStringLiteral("%1-%2-%3 %4:%5:%6.%7")
        .arg(p.year, 4, 10, QLatin1Char('0'))
        .arg(p.month, 2, 10, QLatin1Char('0'))
        .arg(p.day, 2, 10, QLatin1Char('0'))
        .arg(p.hour, 2, 10, QLatin1Char('0'))
        .arg(p.minute, 2, 10, QLatin1Char('0'))
        .arg(p.second, 2, 10, QLatin1Char('0'))
        .arg(p.msec, 3, 10, QLatin1Char('0'));
}

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

} // namespace

TEST(TimeStamp, WritesFourteenDigitsAndReadsThemBack) {
    // 2023-01-15 is day 44941 after 1899-12-30; 14:30 is 29/48 of a day.
    const TDateTime moment = 44941.0 + 29.0 / 48.0;
    EXPECT_EQ(DateTimeToStamp(moment), "20230115143000");
    EXPECT_EQ(Show(StampToDateTime("20230115143000")), "2023-01-15 14:30:00.000");
    EXPECT_NEAR(StampToDateTime("20230115143000"), moment, 1e-9);

    for (const TDateTime value : {At(2000, 2, 29, 23, 59, 59), At(1999, 12, 31), At(9999, 12, 31, 1, 2, 3)})
        EXPECT_EQ(Show(StampToDateTime(DateTimeToStamp(value))), Show(value));
}

TEST(TimeStamp, NullDateAndWrongLengthsGiveZero) {
    EXPECT_EQ(DateTimeToStamp(0), "18991230000000");
    EXPECT_EQ(StampToDateTime("18991230000000"), 0.0);
    for (const char* text : {"", "2023011", "202301151430001", " 20230115143000"})
        EXPECT_EQ(StampToDateTime(QString::fromLatin1(text)), 0.0) << text;
}

TEST(TimeStamp, NonNumericPieceCountsAsZero) {
    EXPECT_EQ(Show(StampToDateTime("202301151430xx")), "2023-01-15 14:30:00.000");
}

TEST(TimeStamp, ImpossibleValuesThrow) {
    for (const char* text : {"20231315143000", "20230230120000", "20230115246000", "20230115236100", "2023ab15143000",
                             "00000000000000"})
        EXPECT_THROW(StampToDateTime(QString::fromLatin1(text)), EConvertError) << text;
}

TEST(SixDigitTime, WritesHoursMinutesSecondsOfTheTimeOfDay) {
    EXPECT_EQ(TimeToText6(EncodeTime(7, 5, 9, 0)), "070509");
    EXPECT_EQ(TimeToText6(At(2024, 2, 29, 23, 59, 59)), "235959");
    EXPECT_EQ(TimeToText6(0), "000000");
}

TEST(SixDigitTime, ReadsTheFirstThreePairs) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"235959", "1899-12-30 23:59:59.000"}, {"070509", "1899-12-30 07:05:09.000"},
        {"1230", "1899-12-30 12:30:00.000"},   {"12304599", "1899-12-30 12:30:45.000"},
        {"", "1899-12-30 00:00:00.000"},       {"1a3000", "1899-12-30 00:30:00.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Show(Text6ToTime(QString::fromLatin1(c.text))), QString::fromLatin1(c.expected)) << c.text;
}

TEST(SixDigitTime, ImpossibleTimeThrows) {
    for (const char* text : {"240000", "126000", "125960", "-10000"})
        EXPECT_THROW(Text6ToTime(QString::fromLatin1(text)), EConvertError) << text;
}

TEST(EightDigitDate, ReadsDayMonthYear) {
    EXPECT_EQ(Text8ToDate("15012023"), 44941.0);
    EXPECT_EQ(Show(Text8ToDate("29022024")), "2024-02-29 00:00:00.000");
    for (const char* text : {"", "1501202", "150120230", "15.01.2023"})
        EXPECT_EQ(Text8ToDate(QString::fromLatin1(text)), 0.0) << text;
    for (const char* text : {"31022023", "00012023", "15132023", "29022023"})
        EXPECT_THROW(Text8ToDate(QString::fromLatin1(text)), EConvertError) << text;
}

TEST(MinuteRounding, DropsSecondsAndMilliseconds) {
    const TDateTime moment = At(2024, 3, 10, 13, 47, 59, 999);
    EXPECT_EQ(Show(TimeToMinute(moment)), "1899-12-30 13:47:00.000");
    EXPECT_EQ(Show(DateTimeToMinute(moment)), "2024-03-10 13:47:00.000");
    EXPECT_EQ(Show(DateTimeToMinute(At(2024, 3, 10, 23, 59, 30))), "2024-03-10 23:59:00.000");
    EXPECT_EQ(DateTimeToMinute(0), 0.0);
}

TEST(JoinDateTime, TakesTheDateOfOneAndTheWholeTimeOfTheOther) {
    const TDateTime datePart = At(2024, 3, 10, 13, 47, 59, 999);
    const TDateTime timePart = At(2001, 7, 4, 6, 5, 4, 321);
    EXPECT_EQ(Show(JoinDateTime(datePart, timePart)), "2024-03-10 06:05:04.321");
    EXPECT_EQ(Show(JoinDateTime(timePart, datePart)), "2001-07-04 13:47:59.999");
    EXPECT_EQ(Show(JoinDateTime(EncodeDate(2030, 1, 1), EncodeTime(23, 59, 59, 0))), "2030-01-01 23:59:59.000");
}
