#include "util/date_time.h"
#include "util/file_time.h"

#include <gtest/gtest.h>

TEST(FileTime, ConvertsUnixNanosecondsToUtcDayCounts) {
    constexpr qint64 kDay = 86400LL * 1000000000LL;
    const struct {
        qint64 ns;
        TDateTime expected;
    } cases[] = {
        {0, EncodeDate(1970, 1, 1)},
        {kDay + 1500000000LL, EncodeDate(1970, 1, 2) + EncodeTime(0, 0, 1, 500)},
        {1614834367250000000LL, EncodeDate(2021, 3, 4) + EncodeTime(5, 6, 7, 250)},
        {-1000000000LL, EncodeDate(1969, 12, 31) + EncodeTime(23, 59, 59, 0)},
        // Before 1899-12-30 the fraction still counts forward: 1899-12-29 06:00 is -1.25.
        {-(25569LL * kDay + 18LL * 3600 * 1000000000LL), -1.25},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(UnixNsToDateTime(c.ns), c.expected, 1e-9) << c.ns;
        EXPECT_NEAR(static_cast<double>(DateTimeToUnixNs(c.expected)), static_cast<double>(c.ns), 2000.0) << c.ns;
    }
}

TEST(FileTime, RoundTripKeepsMicroseconds) {
    for (const qint64 ns : {1700000000123456789LL, 1LL, 999999999LL, 4102444800000001000LL}) {
        const qint64 back = DateTimeToUnixNs(UnixNsToDateTime(ns));
        EXPECT_LE(std::llabs(back - ns), 2000) << ns;
    }
}
