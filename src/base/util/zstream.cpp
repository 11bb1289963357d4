#include "util/zstream.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

// Frees the inflate state on every path out of DecompressStream.
struct TInflateGuard {
    z_stream* stream;
    ~TInflateGuard() { inflateEnd(stream); }
};

constexpr qsizetype kMaxChunkSize = 1 << 20;
constexpr qsizetype kMinChunkSize = 16 << 10;

} // namespace

QByteArray CompressStream(const QByteArray& data) {
    uLongf bound = compressBound(static_cast<uLong>(data.size()));
    QByteArray out(static_cast<qsizetype>(bound), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &bound, reinterpret_cast<const Bytef*>(data.constData()),
                  static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    out.truncate(static_cast<qsizetype>(bound));
    return out;
}

bool DecompressStream(const QByteArray& data, QByteArray& out, qsizetype maxSize) {
    out.clear();
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    const TInflateGuard guard{&zs};

    const auto* next = reinterpret_cast<const Bytef*>(data.constData());
    qsizetype remaining = data.size();
    // Packed settings values are small and many: size the buffer to the input
    // (and leave it uninitialised) instead of paying for a full chunk each time.
    const qsizetype chunkSize = std::clamp<qsizetype>(data.size() * 4, kMinChunkSize, kMaxChunkSize);
    const auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(chunkSize));
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (zs.avail_in == 0 && remaining > 0) {
            // zlib counts input in 32-bit units: feed larger data in pieces.
            const auto piece = static_cast<uInt>(std::min<qsizetype>(remaining, UINT_MAX));
            zs.next_in = const_cast<Bytef*>(next);
            zs.avail_in = piece;
            next += piece;
            remaining -= piece;
        }
        // Room for one byte more than allowed: producing it proves the content too long.
        const qsizetype left = maxSize - out.size();
        const qsizetype room = left < chunkSize ? left + 1 : chunkSize;
        zs.next_out = reinterpret_cast<Bytef*>(buffer.get());
        zs.avail_out = static_cast<uInt>(room);
        rc = inflate(&zs, Z_NO_FLUSH);
        if (rc == Z_OK || rc == Z_STREAM_END)
            out.append(buffer.get(), room - static_cast<qsizetype>(zs.avail_out));
        if (out.size() > maxSize)
            rc = Z_MEM_ERROR; // longer than the caller accepts
        if (rc == Z_OK && zs.avail_in == 0 && remaining == 0 && zs.avail_out != 0)
            rc = Z_DATA_ERROR; // the input ended before the stream did
    }
    if (rc != Z_STREAM_END) {
        out.clear();
        return false;
    }
    return true;
}
