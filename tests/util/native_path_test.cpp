#include "util/native_path.h"

#include <gtest/gtest.h>

namespace {

TEST(NativePath, EveryByteStringSurvivesTheRoundTrip) {
    const std::string cases[] = {
        "",
        "plain/ascii.txt",
        "\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe/\xf0\x9f\x93\xb7.jpg", // Cyrillic and a character outside the BMP
        "caf\xe9.txt",                                           // Latin-1
        "\xff\xfe\x80",                                          // bytes that never start UTF-8
        "\xc0\xaf",                                              // an overlong form
        "\xed\xa0\x80",                                          // an encoded surrogate
        "\xe2\x82",                                              // a cut sequence at the end
        "\xf4\x90\x80\x80",                                      // past U+10FFFF
        "\xed\xb2\x80",                                          // the UTF-8 form of U+DC80 itself
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(PathToNative(PathFromNative(bytes)), bytes) << bytes;
}

TEST(NativePath, ValidUtf8DecodesAsUsualAndOtherBytesAsEscapes) {
    EXPECT_EQ(PathFromNative("\xd0\xa4/\xf0\x9f\x93\xb7"), QString::fromUtf8("\xd0\xa4/\xf0\x9f\x93\xb7"));
    const QString latin = PathFromNative("caf\xe9");
    ASSERT_EQ(latin.size(), 4);
    EXPECT_EQ(latin.left(3), "caf");
    EXPECT_TRUE(IsEscapedByte(latin.at(3)));
    EXPECT_EQ(latin.at(3).unicode(), 0xDC00 + 0xE9);
    EXPECT_EQ(PathToNative(QString::fromUtf8("\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe")),
              std::string("\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe"));
}

} // namespace
