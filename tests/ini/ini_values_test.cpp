#include "ini/ini_values.h"

#include "zero_stream.h"

#include <QStringEncoder>

#include <zlib.h>

#include <gtest/gtest.h>

namespace {

// A packed value of raw bytes, deflated by zlib itself.
QString PackedValueOf(const QByteArray& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    QByteArray packed(static_cast<qsizetype>(size), '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(bytes.constData()),
                  static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    packed.truncate(static_cast<qsizetype>(size));
    return QString::fromLatin1(packed.toHex().toUpper());
}

struct BoolCase {
    const char* text;
    bool defaultValue;
    bool expected;
};

class IniBoolTest : public ::testing::TestWithParam<BoolCase> {};

TEST_P(IniBoolTest, ReadsIntegersAsBooleansAndAnythingElseAsTheDefault) {
    const BoolCase c = GetParam();
    const IniDocument ini = IniDocument::FromBytes(QByteArray("[S]\nK=") + c.text + "\n");
    EXPECT_EQ(IniReadBool(ini, "S", "K", c.defaultValue), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Values, IniBoolTest,
                         ::testing::Values(BoolCase{"1", false, true}, BoolCase{"0", true, false},
                                           BoolCase{"2", false, true}, BoolCase{"-1", false, true},
                                           BoolCase{"yes", true, true}, BoolCase{"yes", false, false},
                                           BoolCase{"$1F", false, true}, BoolCase{"$0", true, false},
                                           BoolCase{"0x10", false, true}, BoolCase{"0X0", true, false},
                                           BoolCase{"", true, true}, BoolCase{"1.0", false, false},
                                           BoolCase{"true", false, false}, BoolCase{" 1 ", false, true}));

TEST(IniValues, IntegersOutOfRangeOrNotNumbersGiveTheDefault) {
    const IniDocument ini = IniDocument::FromBytes(
        "[S]\nbig=99999999999\nneg=-42\nhex=$FF\nword=ten\nmissing_eq\nx=0x7fffffff\n");
    EXPECT_EQ(IniReadInteger(ini, "S", "big", 7), 7);
    EXPECT_EQ(IniReadInt64(ini, "S", "big", 7), 99999999999LL);
    EXPECT_EQ(IniReadInteger(ini, "S", "neg", 7), -42);
    EXPECT_EQ(IniReadInteger(ini, "S", "hex", 7), 255);
    EXPECT_EQ(IniReadInteger(ini, "S", "word", 7), 7);
    EXPECT_EQ(IniReadInteger(ini, "S", "missing_eq", 7), 7);
    EXPECT_EQ(IniReadInteger(ini, "S", "x", 7), 2147483647);
}

TEST(IniValues, DateTimesAreFourteenDigitStamps) {
    const IniDocument ini = IniDocument::FromBytes("[S]\nok=20230115143000\nshort=0\nlong=2023011514300\nbad=20231345000000\n");
    const TDateTimeParts p = DecodeDateTime(IniReadDateTime(ini, "S", "ok"));
    EXPECT_EQ(p.year, 2023);
    EXPECT_EQ(p.month, 1);
    EXPECT_EQ(p.day, 15);
    EXPECT_EQ(p.hour, 14);
    EXPECT_EQ(p.minute, 30);
    EXPECT_EQ(IniReadDateTime(ini, "S", "short"), 0.0);
    EXPECT_EQ(IniReadDateTime(ini, "S", "long"), 0.0);
    EXPECT_EQ(IniReadDateTime(ini, "S", "missing"), 0.0);
    EXPECT_THROW(IniReadDateTime(ini, "S", "bad"), EConvertError);
}

TEST(IniValues, PackedListRoundTripsAnyText) {
    const QStringList lines = {"SNK202401011200001234", "", "Путь/с пробелами", "ZIP20240101120000 9876"};
    bool ok = false;
    const QString packed = PackList(lines, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(packed, packed.toUpper());
    EXPECT_EQ(UnpackList(packed), lines);
}

TEST(IniValues, PackedListIsZlibOverCrLfTerminatedLines) {
    // Build the expected value with zlib directly.
    const QByteArray text = "one\r\ntwo\r\n";
    uLongf size = compressBound(text.size());
    QByteArray packed(static_cast<int>(size), '\0');
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                        reinterpret_cast<const Bytef*>(text.constData()), text.size(), Z_DEFAULT_COMPRESSION),
              Z_OK);
    packed.truncate(static_cast<int>(size));
    EXPECT_EQ(PackList({"one", "two"}), QString::fromLatin1(packed.toHex().toUpper()));
    EXPECT_EQ(UnpackList(QString::fromLatin1(packed.toHex())), QStringList({"one", "two"}));
}

TEST(IniValues, UndecodablePackedValuesGiveAnEmptyList) {
    const QString good = PackList({"a", "b"});
    for (const QString& bad : {QString("XYZ"), QString("ABC"), good.left(good.size() - 4), QString("00112233")})
        EXPECT_TRUE(UnpackList(bad).isEmpty()) << bad.toStdString();
}

TEST(IniValues, PackedListInTheEightBitPageIsReadToo) {
    // Lists written by older programs are in the 8-bit page: "\xC0" is not UTF-8.
    QByteArray text = "Caf\xE9\r\n";
    uLongf size = compressBound(text.size());
    QByteArray packed(static_cast<int>(size), '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(text.constData()),
              text.size(), Z_DEFAULT_COMPRESSION);
    packed.truncate(static_cast<int>(size));
    const QStringList lines = UnpackList(QString::fromLatin1(packed.toHex()));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("Caf"));
    EXPECT_EQ(lines[0].size(), 4);
}

TEST(IniValues, PackedListLongerThanTheBoundIsUnreadable) {
    // Lines of 1 KiB with their CR LF: the text of `count` lines is count KiB.
    const QByteArray line = QByteArray(1022, 'p') + "\r\n";
    const qsizetype linesAtTheBound = kMaxPackedListSize / line.size();
    ASSERT_EQ(linesAtTheBound * line.size(), kMaxPackedListSize);
    const QByteArray atTheBound = line.repeated(linesAtTheBound);

    EXPECT_EQ(UnpackList(PackedValueOf(atTheBound)).size(), linesAtTheBound);
    EXPECT_TRUE(UnpackList(PackedValueOf(atTheBound + "x\r\n")).isEmpty());
    EXPECT_TRUE(UnpackList(PackedValueOf(line + atTheBound)).isEmpty());
    // Half a megabyte of hex that inflates to 256 MiB.
    EXPECT_TRUE(UnpackList(QString::fromLatin1(ZlibStreamOfZeros(256).toHex())).isEmpty());
}

TEST(IniValues, PackedListWithAByteOrderMarkIsReadInThatEncoding) {
    const QString text = QStringLiteral("SNK202401011200001234\r\n/home/u/Müller/Данные/\r\n");
    const QStringList expected = {"SNK202401011200001234", "/home/u/Müller/Данные/"};
    const struct {
        const char* what;
        QStringConverter::Encoding encoding;
    } cases[] = {
        {"UTF-8", QStringConverter::Utf8},
        {"UTF-16 LE", QStringConverter::Utf16LE},
        {"UTF-16 BE", QStringConverter::Utf16BE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QStringEncoder encoder(c.encoding, QStringConverter::Flag::WriteBom);
        const QByteArray bytes = encoder.encode(text);
        ASSERT_FALSE(encoder.hasError());
        EXPECT_EQ(UnpackList(PackedValueOf(bytes)), expected);
    }
}

} // namespace
