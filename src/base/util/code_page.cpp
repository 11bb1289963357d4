#include "util/code_page.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// Both pages agree with ASCII below 0x80; only the upper halves are listed.
constexpr std::array<char16_t, 256> WithAsciiLowerHalf(const std::array<char16_t, 128>& upper) {
    std::array<char16_t, 256> table{};
    for (std::size_t i = 0; i < 128; ++i) {
        table[i] = static_cast<char16_t>(i);
        table[i + 128] = upper[i];
    }
    return table;
}

// Windows-1252; the five bytes Windows leaves undefined stay the C1 controls.
constexpr std::array<char16_t, 128> kCp1252Upper = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, // B8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, // C0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, // C8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, // D0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, // D8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, // E0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF, // E8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, // F0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF, // F8
};
constexpr std::array<char16_t, 256> kCp1252 = WithAsciiLowerHalf(kCp1252Upper);

// Windows-1251; 0x98, undefined, stays the C1 control U+0098.
constexpr std::array<char16_t, 128> kCp1251Upper = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // F8
};
constexpr std::array<char16_t, 256> kCp1251 = WithAsciiLowerHalf(kCp1251Upper);

struct TReverseEntry {
    char16_t unit;
    std::uint8_t byte;
};
using TReverseTable = std::array<TReverseEntry, 256>;

// Character-to-byte lookup, built and sorted at compile time so that nothing
// runs at start-up and every encode is a binary search.
constexpr TReverseTable MakeReverse(const std::array<char16_t, 256>& table) {
    TReverseTable reverse{};
    for (std::size_t i = 0; i < table.size(); ++i)
        reverse[i] = {table[i], static_cast<std::uint8_t>(i)};
    std::sort(reverse.begin(), reverse.end(),
              [](const TReverseEntry& a, const TReverseEntry& b) { return a.unit < b.unit; });
    return reverse;
}

constexpr TReverseTable kCp1252Reverse = MakeReverse(kCp1252);
constexpr TReverseTable kCp1251Reverse = MakeReverse(kCp1251);

constexpr bool IsStrictlyIncreasing(const TReverseTable& reverse) {
    for (std::size_t i = 1; i < reverse.size(); ++i)
        if (!(reverse[i - 1].unit < reverse[i].unit))
            return false;
    return true;
}
// Every byte must have its own character, or the scrambled passwords would not survive a round trip.
static_assert(IsStrictlyIncreasing(kCp1252Reverse), "Windows-1252 table maps two bytes to one character");
static_assert(IsStrictlyIncreasing(kCp1251Reverse), "Windows-1251 table maps two bytes to one character");

const std::array<char16_t, 256>& ForwardTable(TAnsiCodePage page) {
    return page == TAnsiCodePage::Cp1251 ? kCp1251 : kCp1252;
}

const TReverseTable& ReverseTable(TAnsiCodePage page) {
    return page == TAnsiCodePage::Cp1251 ? kCp1251Reverse : kCp1252Reverse;
}

// Leaves byte alone when the page has no such character.
void EncodeUnit(const TReverseTable& reverse, char16_t unit, char& byte) {
    const auto it = std::lower_bound(reverse.begin(), reverse.end(), unit,
                                     [](const TReverseEntry& entry, char16_t value) { return entry.unit < value; });
    if (it != reverse.end() && it->unit == unit)
        byte = static_cast<char>(it->byte);
}

} // namespace

TAnsiCodePage SystemAnsiCodePage() {
    // The same precedence the C library uses for message texts: the first variable that is set decides.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value.startsWith(QLatin1String("ru"), Qt::CaseInsensitive) ? TAnsiCodePage::Cp1251
                                                                                 : TAnsiCodePage::Cp1252;
    }
    return TAnsiCodePage::Cp1252;
}

QString DecodeAnsi(const QByteArray& bytes, TAnsiCodePage page) {
    const std::array<char16_t, 256>& table = ForwardTable(page);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(table[static_cast<unsigned char>(bytes[i])]);
    return text;
}

QByteArray EncodeAnsi(const QString& text, TAnsiCodePage page) {
    const TReverseTable& reverse = ReverseTable(page);
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        char byte = '?';
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one replacement for the whole character, not one per half
        else if (!unit.isSurrogate())
            EncodeUnit(reverse, unit.unicode(), byte);
        bytes.append(byte);
    }
    return bytes;
}
