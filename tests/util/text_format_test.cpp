#include "util/text_format.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

TEST(SizeToText, UsesBinaryUnitsAndAtMostTwoDecimals) {
    // Expected texts worked out by hand: n / unit, rounded half up to hundredths, trailing zeros dropped.
    const struct {
        qint64 size;
        const char* expected;
    } cases[] = {
        {0, "0 b"},
        {5, "5 b"},
        {1023, "1023 b"},
        {1024, "1 kb"},
        {1029, "1 kb"},        // 1.0049
        {1034, "1.01 kb"},     // 1.0098
        {1126, "1.1 kb"},      // 1.0996
        {1152, "1.13 kb"},     // exactly 1.125: halves round up
        {1536, "1.5 kb"},
        {1048575, "1024 kb"},  // 1023.999
        {1048576, "1 mb"},
        {3495253, "3.33 mb"},
        {1073741823, "1024 mb"},
        {1073741824, "1 gb"},
        {5905580032LL, "5.5 gb"},
        {1099511627776LL, "1024 gb"},
        {std::numeric_limits<qint64>::max(), "8589934592 gb"},
        {-1, "-1 b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeToText(c.size), QString::fromLatin1(c.expected)) << c.size;
}

TEST(SizeToText, IgnoresTheUserLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = SizeToText(1536);
    const QString large = SizeToText(1099511627776LL * 1000);
    QLocale::setDefault(previous);
    EXPECT_EQ(text, "1.5 kb");
    EXPECT_EQ(large, "1024000 gb");
}

TEST(TextToInt64, KeepsOnlyDigitsAndALeadingMinus) {
    const struct {
        const char* text;
        qint64 expected;
    } cases[] = {
        {" -1,5 ", -15},
        {"1.5", 15},
        {"", 0},
        {"   ", 0},
        {"-", 0},
        {"abc", 0},
        {"12abc34", 1234},
        {"1 000", 1000},
        {"+7", 7},
        {"--5", -5},
        {"5-", 5},
        {"007", 7},
        {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"-9223372036854775807", -std::numeric_limits<qint64>::max()},
        {"9223372036854775808", 0},
        {"-9223372036854775808", 0},
        {"99999999999999999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToInt64(QString::fromLatin1(c.text)), c.expected) << c.text;
    // Only the ASCII digits count.
    EXPECT_EQ(TextToInt64(QString::fromUtf8("\u0663\u0664")), 0);
}

TEST(BoolToBit, GivesOneOrZero) {
    EXPECT_EQ(BoolToBit(true), "1");
    EXPECT_EQ(BoolToBit(false), "0");
}

TEST(ClampOrDefault, ReplacesOnlyValuesOutsideTheRange) {
    const struct {
        int value;
        int expected;
    } cases[] = {{0, 30}, {1, 1}, {50, 50}, {99, 99}, {100, 30}, {-5, 30}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampOrDefault(c.value, 1, 99, 30), c.expected) << c.value;
    EXPECT_EQ(ClampOrDefault<qint64>(10000000000LL, 10, 9999, 1900), 1900);
    EXPECT_EQ(ClampOrDefault<qint64>(9999, 10, 9999, 1900), 9999);
}
