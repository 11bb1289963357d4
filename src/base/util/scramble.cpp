#include "util/scramble.h"

#include "util/murmur_hash.h"

namespace {

constexpr char kScrambleKeyText[] = "KeepItQuietly";
constexpr quint32 kScrambleSeed = 0x3d61a4e9;
constexpr quint32 kBlockPattern = 0x00000E0F;
constexpr unsigned char kTailPattern = 0x0F;

} // namespace

QString ScrambleText(const QString& text, TAnsiCodePage page) {
    const quint32 key = MurmurHash2(QByteArrayView(kScrambleKeyText), kScrambleSeed) ^ kBlockPattern;
    QByteArray bytes = EncodeAnsi(text, page);
    const qsizetype fullBlocksEnd = bytes.size() / 4 * 4;
    // Each block is XORed as a little-endian 32-bit number, that is byte by
    // byte with the key's bytes from the lowest one up.
    for (qsizetype i = 0; i < fullBlocksEnd; ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ ((key >> (8 * (i % 4))) & 0xFF));
    for (qsizetype i = fullBlocksEnd; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ kTailPattern);
    return DecodeAnsi(bytes, page);
}

QString ScrambleText(const QString& text) { return ScrambleText(text, SystemAnsiCodePage()); }
