#include "lang/builtin_tables.h"
#include "lang/friendly_date.h"
#include "lang/language.h"

#include <gtest/gtest.h>

namespace {

TDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0);
}

class FriendlyDate : public ::testing::Test {
protected:
    FriendlyDate() {
        QString name;
        bool local = false;
        SetBuiltinEnglish(english, name, local);
        SetBuiltinRussian(russian, name, local);
    }
    TLanguage english, russian;
    // Tuesday, 13 February 2024, noon.
    const TDateTime now = At(2024, 2, 13, 12, 0);
};

struct ShortCase {
    TDateTime value;
    const char* expected;
};

} // namespace

TEST_F(FriendlyDate, ShortFormSpeaksRelativeToToday) {
    const ShortCase cases[] = {
        {At(2024, 2, 13, 14, 30), "Today at 14:30"},
        {At(2024, 2, 13, 0, 0), "Today at 00:00"},
        {At(2024, 2, 13, 23, 59, 59), "Today at 23:59"},
        {At(2024, 2, 12, 8, 5), "Yesterday at 08:05"},
        {At(2024, 2, 14, 9, 0), "Tomorrow at 09:00"},
        {At(2024, 2, 15, 7, 45), "Thursday, 07:45"},                     // 2 days ahead
        {At(2024, 2, 16, 10, 0), "Friday, 10:00"},                       // 3 days ahead
        {At(2024, 2, 19, 18, 0), "Monday, 18:00"},                       // 6 days ahead
        {At(2024, 2, 20, 18, 0), "Tuesday, 20 february 2024 y., 18:00"}, // 7 days ahead
        {At(2024, 2, 11, 23, 59), "Sunday, 11 february 2024 y., 23:59"}, // 2 days back
        {At(2024, 2, 5, 14, 30), "Monday, 5 february 2024 y., 14:30"},   // last week
        {At(2023, 12, 31, 6, 0), "Sunday, 31 december 2023 y., 06:00"},
    };
    for (const ShortCase& c : cases)
        EXPECT_EQ(FriendlyDateText(english, c.value, false, now), QString::fromUtf8(c.expected)) << c.expected;
}

// The day words follow the calendar, not 24-hour spans, across month and year ends.
TEST_F(FriendlyDate, CalendarDaysAcrossBoundaries) {
    EXPECT_EQ(FriendlyDateText(english, At(2023, 12, 31, 23, 50), false, At(2024, 1, 1, 0, 10)),
              QLatin1String("Yesterday at 23:50"));
    EXPECT_EQ(FriendlyDateText(english, At(2025, 1, 1, 0, 1), false, At(2024, 12, 31, 23, 59)),
              QLatin1String("Tomorrow at 00:01"));
    EXPECT_EQ(FriendlyDateText(english, At(2024, 3, 1, 9, 0), false, At(2024, 2, 28, 9, 0)),
              QLatin1String("Friday, 09:00")); // 2024 is a leap year: 29 February lies between
    EXPECT_EQ(FriendlyDateText(english, At(2024, 2, 13, 10, 0), false, At(2024, 2, 14, 9, 0)),
              QLatin1String("Yesterday at 10:00")); // less than 24 hours back, still yesterday
}

TEST_F(FriendlyDate, FullFormShowsTheTimeUnlessExactlyMidnight) {
    const ShortCase cases[] = {
        {At(2024, 2, 5, 14, 30), "5 february 2024 y. 14:30"},
        {At(2024, 2, 5, 0, 0), "5 february 2024 y."},
        {At(2024, 2, 5, 9, 0), "5 february 2024 y. 09:00"},
        {At(2024, 2, 5, 0, 0, 30), "5 february 2024 y. 00:00"},
        {At(2024, 2, 13, 12, 0), "13 february 2024 y. 12:00"}, // today: no relative words
        {At(1999, 9, 9, 23, 1), "9 september 1999 y. 23:01"},
    };
    for (const ShortCase& c : cases)
        EXPECT_EQ(FriendlyDateText(english, c.value, true, now), QString::fromUtf8(c.expected)) << c.expected;
}

TEST_F(FriendlyDate, ZeroIsNotSet) {
    EXPECT_EQ(FriendlyDateText(english, 0, false, now), QLatin1String("Is not set"));
    EXPECT_EQ(FriendlyDateText(english, 0, true, now), QLatin1String("Is not set"));
    EXPECT_EQ(FriendlyDateText(russian, 0, true, now), QStringLiteral("Не задано"));
}

TEST_F(FriendlyDate, RussianUsesGenitiveMonthsAndItsOwnWords) {
    EXPECT_EQ(FriendlyDateText(russian, At(2024, 2, 13, 14, 30), false, now), QStringLiteral("Сегодня в 14:30"));
    EXPECT_EQ(FriendlyDateText(russian, At(2024, 2, 16, 10, 0), false, now), QStringLiteral("Пятница, 10:00"));
    EXPECT_EQ(FriendlyDateText(russian, At(2024, 2, 5, 14, 30), false, now),
              QStringLiteral("Понедельник, 5 февраля 2024 г., 14:30"));
    EXPECT_EQ(FriendlyDateText(russian, At(2024, 5, 1, 0, 0), true, now), QStringLiteral("1 мая 2024 г."));
}

TEST_F(FriendlyDate, DefaultOverloadSpeaksTheCurrentLanguage) {
    TScopedCurrentLanguage install(russian);
    EXPECT_EQ(FriendlyDateText(At(2024, 2, 14, 9, 0), false, now), QStringLiteral("Завтра в 09:00"));
}

// A language file may lose a placeholder; the text then stays as it is.
TEST_F(FriendlyDate, TextWithoutPlaceholderStaysUnchanged) {
    english.SetText(Lng::lib_lng_Date_DTToday, QStringLiteral("Today"));
    EXPECT_EQ(FriendlyDateText(english, At(2024, 2, 13, 14, 30), false, now), QLatin1String("Today"));
}
