#include "util/code_page.h"

#include "env_guard.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

QByteArray AllBytes() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(static_cast<char>(i));
    return bytes;
}

} // namespace

TEST(CodePage, EveryByteSurvivesARoundTripInBothPages) {
    for (const TAnsiCodePage page : {TAnsiCodePage::Cp1252, TAnsiCodePage::Cp1251}) {
        const QString text = DecodeAnsi(AllBytes(), page);
        ASSERT_EQ(text.size(), 256);
        QSet<QChar> distinct(text.cbegin(), text.cend());
        EXPECT_EQ(distinct.size(), 256);
        EXPECT_EQ(EncodeAnsi(text, page), AllBytes());
    }
}

TEST(CodePage, KnownMappings) {
    const struct {
        TAnsiCodePage page;
        unsigned char byte;
        char16_t unit;
    } cases[] = {
        {TAnsiCodePage::Cp1251, 0x41, u'A'},     {TAnsiCodePage::Cp1251, 0xC0, 0x0410},
        {TAnsiCodePage::Cp1251, 0xFF, 0x044F},   {TAnsiCodePage::Cp1251, 0xA8, 0x0401},
        {TAnsiCodePage::Cp1251, 0xB8, 0x0451},   {TAnsiCodePage::Cp1251, 0x88, 0x20AC},
        {TAnsiCodePage::Cp1251, 0xB9, 0x2116},   {TAnsiCodePage::Cp1251, 0x98, 0x0098},
        {TAnsiCodePage::Cp1251, 0xA5, 0x0490},   {TAnsiCodePage::Cp1251, 0x80, 0x0402},
        {TAnsiCodePage::Cp1252, 0x80, 0x20AC},   {TAnsiCodePage::Cp1252, 0x81, 0x0081},
        {TAnsiCodePage::Cp1252, 0x8D, 0x008D},   {TAnsiCodePage::Cp1252, 0x8F, 0x008F},
        {TAnsiCodePage::Cp1252, 0x90, 0x0090},   {TAnsiCodePage::Cp1252, 0x9D, 0x009D},
        {TAnsiCodePage::Cp1252, 0x8A, 0x0160},   {TAnsiCodePage::Cp1252, 0x9F, 0x0178},
        {TAnsiCodePage::Cp1252, 0x99, 0x2122},   {TAnsiCodePage::Cp1252, 0xE9, 0x00E9},
        {TAnsiCodePage::Cp1252, 0x00, 0x0000},   {TAnsiCodePage::Cp1252, 0xFF, 0x00FF},
    };
    for (const auto& c : cases) {
        const QByteArray byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(DecodeAnsi(byte, c.page), QString(QChar(c.unit))) << int(c.byte);
        EXPECT_EQ(EncodeAnsi(QString(QChar(c.unit)), c.page), byte) << int(c.byte);
    }
}

TEST(CodePage, CharactersThePageLacksBecomeQuestionMarks) {
    EXPECT_EQ(EncodeAnsi(QString::fromUtf8("aЖb"), TAnsiCodePage::Cp1252), QByteArray("a?b"));
    EXPECT_EQ(EncodeAnsi(QString::fromUtf8("é"), TAnsiCodePage::Cp1251), QByteArray("?"));
    EXPECT_EQ(EncodeAnsi(QString::fromUtf8("日本"), TAnsiCodePage::Cp1251), QByteArray("??"));
    // A character outside the basic plane is one character, so one "?".
    EXPECT_EQ(EncodeAnsi(QString::fromUtf8("x😀y"), TAnsiCodePage::Cp1252), QByteArray("x?y"));
    const QChar lone[] = {QChar(u'a'), QChar(char16_t(0xD800)), QChar(u'b')};
    EXPECT_EQ(EncodeAnsi(QString(lone, 3), TAnsiCodePage::Cp1252), QByteArray("a?b"));
    EXPECT_TRUE(EncodeAnsi(QString(), TAnsiCodePage::Cp1252).isEmpty());
}

TEST(CodePage, SystemPageFollowsTheFirstLocaleVariableThatIsSet) {
    const struct {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        TAnsiCodePage expected;
    } cases[] = {
        {nullptr, nullptr, "ru_RU.UTF-8", TAnsiCodePage::Cp1251},
        {nullptr, "ru_RU", "en_US.UTF-8", TAnsiCodePage::Cp1251},
        {"en_US.UTF-8", "ru_RU", "ru_RU", TAnsiCodePage::Cp1252},
        {"", "", "ru", TAnsiCodePage::Cp1251},
        {"C", nullptr, "ru_RU", TAnsiCodePage::Cp1252},
        {nullptr, nullptr, "de_DE", TAnsiCodePage::Cp1252},
        {nullptr, nullptr, nullptr, TAnsiCodePage::Cp1252},
        {nullptr, nullptr, "rus", TAnsiCodePage::Cp1251},
    };
    for (const auto& c : cases) {
        EnvGuard env;
        const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
        const char* values[] = {c.lcAll, c.lcMessages, c.lang};
        for (int i = 0; i < 3; ++i) {
            if (values[i])
                env.Set(names[i], values[i]);
            else
                env.Unset(names[i]);
        }
        EXPECT_EQ(SystemAnsiCodePage(), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}
