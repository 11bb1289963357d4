#include "util/zstream.h"

#include "zero_stream.h"

#include <QRandomGenerator>

#include <zlib.h>

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr qsizetype kNoLimit = std::numeric_limits<qsizetype>::max();

// zlib's one-shot inflate, independent of the code under test.
QByteArray ReferenceInflate(const QByteArray& stream, qsizetype expectedSize) {
    QByteArray out(expectedSize + 1, Qt::Uninitialized);
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(stream.constData()),
                   static_cast<uLong>(stream.size())) != Z_OK)
        return QByteArray("<uncompress failed>");
    out.truncate(static_cast<qsizetype>(size));
    return out;
}

QByteArray Noise(qsizetype size) {
    QRandomGenerator generator(12345);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(generator.bounded(256));
    return bytes;
}

} // namespace

TEST(ZStream, RoundTripsSmallAndLargeData) {
    const QByteArray samples[] = {
        QByteArray(),
        QByteArray("hello"),
        QByteArray("C:/Data/\r\nD:/Other/\r\n").repeated(1000),
        Noise(3 * 1024 * 1024 + 17),          // more than one output chunk, hardly compressible
        QByteArray(5 * 1024 * 1024, '\0'),    // tiny stream, large output
    };
    for (const QByteArray& data : samples) {
        const QByteArray packed = CompressStream(data);
        ASSERT_FALSE(packed.isEmpty());
        EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x78) << "zlib header, 32 KiB window";
        EXPECT_EQ(ReferenceInflate(packed, data.size()), data);
        QByteArray unpacked("leftover");
        EXPECT_TRUE(DecompressStream(packed, unpacked, kNoLimit));
        EXPECT_EQ(unpacked, data);
    }
}

TEST(ZStream, ReadsAStreamMadeByAnotherEncoder) {
    // Python: zlib.compress(b"hello").hex()
    const QByteArray stream = QByteArray::fromHex("789ccb48cdc9c90700062c0215");
    QByteArray out;
    ASSERT_TRUE(DecompressStream(stream, out, kNoLimit));
    EXPECT_EQ(out, "hello");
}

TEST(ZStream, DamagedInputFails) {
    const QByteArray data = QByteArray("C:/Data/\r\n").repeated(500) + Noise(5000);
    const QByteArray packed = CompressStream(data);
    ASSERT_GT(packed.size(), 20);

    QByteArray badChecksum = packed;
    badChecksum[badChecksum.size() - 1] = static_cast<char>(badChecksum[badChecksum.size() - 1] ^ 0x01);
    QByteArray badHeader = packed;
    badHeader[0] = 0x00;
    QByteArray badBody = packed;
    badBody[packed.size() / 2] = static_cast<char>(badBody[packed.size() / 2] ^ 0x55);

    const struct {
        const char* what;
        QByteArray input;
    } cases[] = {
        {"empty", QByteArray()},
        {"last byte missing", packed.left(packed.size() - 1)},
        {"cut in the middle", packed.left(packed.size() / 2)},
        {"header only", packed.left(2)},
        {"checksum wrong", badChecksum},
        {"header wrong", badHeader},
        {"body damaged", badBody},
        {"not zlib at all", QByteArray("this is plain text, not a zlib stream")},
    };
    for (const auto& c : cases) {
        QByteArray out("leftover");
        EXPECT_FALSE(DecompressStream(c.input, out, kNoLimit)) << c.what;
        EXPECT_TRUE(out.isEmpty()) << c.what;
    }
}

TEST(ZStream, BytesAfterACompleteStreamAreIgnored) {
    QByteArray out;
    EXPECT_TRUE(DecompressStream(CompressStream("abc") + "trailing", out, kNoLimit));
    EXPECT_EQ(out, "abc");
}

TEST(ZStream, ContentLongerThanTheLimitFails) {
    const QByteArray text = QByteArray("C:/Data/\r\n").repeated(5000);
    const QByteArray packed = CompressStream(text);
    const struct {
        qsizetype limit;
        bool readable;
    } cases[] = {
        {text.size(), true}, {text.size() + 1, true}, {text.size() - 1, false}, {0, false}, {kNoLimit, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        QByteArray out("leftover");
        EXPECT_EQ(DecompressStream(packed, out, c.limit), c.readable);
        EXPECT_EQ(out, c.readable ? text : QByteArray());
    }
    QByteArray empty("leftover");
    EXPECT_TRUE(DecompressStream(CompressStream(QByteArray()), empty, 0));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(ZStream, AStreamThatWouldInflateToGigabytesStopsAtTheLimit) {
    // The helper's stream is valid: zlib itself inflates a small one.
    const QByteArray small = ZlibStreamOfZeros(3);
    ASSERT_EQ(ReferenceInflate(small, 3 << 20), QByteArray(3 << 20, '\0'));

    // 4 GiB of zeros in 4 MiB of stream.
    const QByteArray huge = ZlibStreamOfZeros(4 << 10);
    QByteArray out;
    EXPECT_FALSE(DecompressStream(huge, out, 1 << 20));
    EXPECT_TRUE(out.isEmpty());
}
