#include "util/version.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(AppVersion, SplitsAtTheDotsFromTheLeft) {
    const struct {
        const char* text;
        quint16 major, minor, release, build;
    } cases[] = {
        {"1.2.3.4", 1, 2, 3, 4},
        {"1.10.0.0", 1, 10, 0, 0},
        {"65535.0.0.65535", 65535, 0, 0, 65535},
        {"", 0, 0, 0, 0},
        {"7", 0, 0, 0, 7},           // no dot: everything is the build
        {"1.2", 1, 0, 0, 2},         // the last piece is always the build
        {"1.2.3", 1, 2, 0, 3},
        {"a.b.c.d", 0, 0, 0, 0},
        {"1.2.3.4.5", 1, 2, 3, 0},   // "4.5" is no number
        {"70000.1.1.1", 0, 1, 1, 1}, // does not fit in 16 bits
        {"-1.2.3.4", 0, 2, 3, 4},
    };
    for (const auto& c : cases) {
        const TLumo_AppVersion v(QString::fromLatin1(c.text));
        EXPECT_EQ(v.Major, c.major) << c.text;
        EXPECT_EQ(v.Minor, c.minor) << c.text;
        EXPECT_EQ(v.Release, c.release) << c.text;
        EXPECT_EQ(v.Build, c.build) << c.text;
    }
}

TEST(IsVersionNewer, ComparesThePartsNumerically) {
    const struct {
        const char* a;
        const char* b;
        bool expected;
    } cases[] = {
        {"1.10.0.0", "1.9.5.0", true},
        {"1.9.5.0", "1.10.0.0", false},
        {"2.3.4.5", "2.3.4.5", false},
        {"", "0.0.0.1", false},
        {"0.0.0.1", "", true},
        {"", "", false},
        {"2.0.0.0", "1.99.99.99", true},
        {"1.0.0.10", "1.0.0.9", true},
        {"1.0.1.0", "1.0.0.99", true},
        {"1.0.0.0", "1.0.0.1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsVersionNewer(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.expected)
            << c.a << " vs " << c.b;
}

TEST(ShortVersionText, DropsTrailingZeroPartsDownToTwo) {
    const struct {
        TLumo_AppVersion version;
        const char* expected;
    } cases[] = {
        {{2, 1, 0, 0}, "2.1"},   {{2, 0, 0, 0}, "2.0"},     {{2, 0, 3, 0}, "2.0.3"},
        {{2, 0, 0, 7}, "2.0.0.7"}, {{0, 0, 0, 0}, "0.0"},   {{1, 2, 3, 4}, "1.2.3.4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortVersionText(c.version), QString::fromLatin1(c.expected)) << c.expected;
}

TEST(ProgramVersion, TextsAgreeWithEachOther) {
    const QString full = FileVersionText();
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$").match(full).hasMatch()) << full.toStdString();
    EXPECT_TRUE(TLumo_AppVersion(full) == ProgramVersion());
    EXPECT_TRUE(full.startsWith(ShortVersionText())) << full.toStdString();
    EXPECT_EQ(VersionCaption(), ShortVersionText() + (sizeof(void*) == 8 ? " [64 bit]" : " [32 bit]"));
}
