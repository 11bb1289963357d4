#include "util/murmur_hash.h"

quint32 MurmurHash2(QByteArrayView bytes, quint32 seed) {
    constexpr quint32 m = 0x5bd1e995;
    constexpr int r = 24;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype remaining = bytes.size();
    // The length enters the hash modulo 2^32, as in the reference code.
    quint32 h = seed ^ static_cast<quint32>(remaining);

    while (remaining >= 4) {
        quint32 k = quint32(data[0]) | quint32(data[1]) << 8 | quint32(data[2]) << 16 | quint32(data[3]) << 24;
        k *= m;
        k ^= k >> r;
        k *= m;
        h *= m;
        h ^= k;
        data += 4;
        remaining -= 4;
    }

    switch (remaining) {
    case 3:
        h ^= quint32(data[2]) << 16;
        [[fallthrough]];
    case 2:
        h ^= quint32(data[1]) << 8;
        [[fallthrough]];
    case 1:
        h ^= quint32(data[0]);
        h *= m;
        break;
    default:
        break;
    }

    h ^= h >> 13;
    h *= m;
    h ^= h >> 15;
    return h;
}

quint32 MurmurHash2(const QString& text, quint32 seed) { return MurmurHash2(QByteArrayView(text.toUtf8()), seed); }
