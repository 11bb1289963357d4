#include "util/code_page.h"
#include "util/scramble.h"

#include "env_guard.h"

#include <gtest/gtest.h>

// Expected bytes from a Python reference: key = MurmurHash2("KeepItQuietly", 0x3d61a4e9)
// = 0x4a34933d, XOR 0x00000E0F gives 0x4a349d32; full 4-byte blocks are XORed with it
// little-endian (bytes 32 9d 34 4a), the remaining bytes with 0x0f.
TEST(ScrambleText, MatchesTheReferenceBytes) {
    const struct {
        const char* text; // UTF-8
        TAnsiCodePage page;
        const char* expectedHex;
    } cases[] = {
        {"Hello", TAnsiCodePage::Cp1252, "7af8582660"},
        {"Secret12", TAnsiCodePage::Cp1252, "61f8573857e90578"},
        {"abc", TAnsiCodePage::Cp1252, "6e6d6c"},
        {"Пароль!", TAnsiCodePage::Cp1251, "fd7dc4a4e4f32e"},
    };
    for (const auto& c : cases) {
        const QString scrambled = ScrambleText(QString::fromUtf8(c.text), c.page);
        EXPECT_EQ(EncodeAnsi(scrambled, c.page).toHex(), QByteArray(c.expectedHex)) << c.text;
    }
}

TEST(ScrambleText, EmptyTextStaysEmpty) {
    EXPECT_TRUE(ScrambleText(QString(), TAnsiCodePage::Cp1252).isEmpty());
    EXPECT_TRUE(ScrambleText(QString(), TAnsiCodePage::Cp1251).isEmpty());
}

TEST(ScrambleText, TwiceGivesTheTextBackForEveryByteOfBothPages) {
    for (const TAnsiCodePage page : {TAnsiCodePage::Cp1252, TAnsiCodePage::Cp1251}) {
        // Every byte value at every position of a block and in the tail.
        QByteArray bytes;
        for (int i = 0; i < 256; ++i)
            bytes.append(static_cast<char>(i));
        for (int tail = 0; tail < 4; ++tail) {
            const QString text = DecodeAnsi(bytes + bytes.left(tail + 1), page);
            const QString scrambled = ScrambleText(text, page);
            EXPECT_NE(scrambled, text);
            EXPECT_EQ(ScrambleText(scrambled, page), text);
        }
    }
}

TEST(ScrambleText, CharactersOutsideThePageAreLost) {
    const QString text = QString::fromUtf8("a日b");
    EXPECT_EQ(ScrambleText(ScrambleText(text, TAnsiCodePage::Cp1252), TAnsiCodePage::Cp1252), "a?b");
}

TEST(ScrambleText, DefaultUsesTheSystemPage) {
    EnvGuard env;
    env.Set("LC_ALL", "ru_RU.UTF-8");
    const QString text = QString::fromUtf8("Пароль");
    EXPECT_EQ(ScrambleText(text), ScrambleText(text, TAnsiCodePage::Cp1251));
    EXPECT_EQ(ScrambleText(ScrambleText(text)), text);
}
