#include "scheduler/cron_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(CronSettings, EnumerationOrdinalsAreTheStoredNumbers) {
    EXPECT_EQ(static_cast<int>(TCronRepeat::trOnce), 0);
    EXPECT_EQ(static_cast<int>(TCronRepeat::trEveryTime), 1);
    EXPECT_EQ(static_cast<int>(TCronRepeat::trDaily), 2);
    EXPECT_EQ(static_cast<int>(TDaysRepeat::drMonday), 0);
    EXPECT_EQ(static_cast<int>(TDaysRepeat::drSunday), 6);
}

TEST(CronSettings, WeekdayTextReadsOneCharacterPerDayFromMonday) {
    const struct {
        const char* text;
        unsigned bits; // Monday is the lowest bit
    } cases[] = {
        {"1000000", 0x01}, {"0000001", 0x40}, {"0110000", 0x06}, {"1111111", 0x7F},
        {"0000000", 0x00}, {"011000", 0x00},  {"01100000", 0x00}, {"", 0x00},
        {"x1y1z1w", 0x2A}, // only "1" chooses a day
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DaysRepeatFromText(QString::fromLatin1(c.text)).Bits(), c.bits);
    }
}

TEST(CronSettings, WeekdayTextIsWrittenMondayFirst) {
    TDaysRepeatSet days;
    days.Include(TDaysRepeat::drTuesday);
    days.Include(TDaysRepeat::drSunday);
    EXPECT_EQ(DaysRepeatToText(days), QStringLiteral("0100001"));
    EXPECT_EQ(DaysRepeatToText(TDaysRepeatSet()), QStringLiteral("0000000"));
    days.Exclude(TDaysRepeat::drSunday);
    EXPECT_EQ(DaysRepeatToText(days), QStringLiteral("0100000"));
}

} // namespace
