#include "zero_stream.h"

#include <zlib.h>

#include <stdexcept>

namespace {

constexpr uInt kBlockSize = 1u << 20;

// Deflates the input with the given flush mode and returns what came out.
QByteArray DeflateStep(z_stream& zs, const QByteArray& input, int flush) {
    QByteArray out;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
    zs.avail_in = static_cast<uInt>(input.size());
    char buffer[64 * 1024];
    do {
        zs.next_out = reinterpret_cast<Bytef*>(buffer);
        zs.avail_out = sizeof buffer;
        if (deflate(&zs, flush) == Z_STREAM_ERROR)
            throw std::runtime_error("deflate failed");
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - zs.avail_out));
    } while (zs.avail_out == 0);
    return out;
}

} // namespace

QByteArray ZlibStreamOfZeros(int mebibytes) {
    z_stream zs{};
    if (deflateInit(&zs, Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("deflateInit failed");
    const QByteArray zeros(kBlockSize, '\0');
    // A full flush resets the compressor and ends on a byte boundary, so every
    // block after the first (which carries the header) is the same bytes.
    QByteArray stream = DeflateStep(zs, zeros, Z_FULL_FLUSH);
    const QByteArray block = DeflateStep(zs, zeros, Z_FULL_FLUSH);
    // The final empty block; its last four bytes are the checksum of what
    // deflate saw (two blocks), replaced below by that of the whole content.
    const QByteArray tail = DeflateStep(zs, QByteArray(), Z_FINISH);
    deflateEnd(&zs);

    uLong checksum = adler32(0L, Z_NULL, 0);
    const uLong blockChecksum = adler32(adler32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(zeros.constData()),
                                        kBlockSize);
    for (int i = 0; i < mebibytes; ++i)
        checksum = adler32_combine(checksum, blockChecksum, kBlockSize);

    if (mebibytes > 1)
        stream += block.repeated(mebibytes - 1);
    stream += tail.left(tail.size() - 4);
    for (int shift = 24; shift >= 0; shift -= 8)
        stream += static_cast<char>((checksum >> shift) & 0xFF);
    return stream;
}
