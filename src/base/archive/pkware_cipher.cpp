#include "archive/pkware_cipher.h"

#include <random>
#include <zlib.h>

namespace archive {

namespace {

const z_crc_t* CrcTable() {
    static const z_crc_t* table = get_crc_table();
    return table;
}

inline std::uint32_t CrcStep(std::uint32_t crc, unsigned char b) {
    return static_cast<std::uint32_t>(CrcTable()[(crc ^ b) & 0xFF]) ^ (crc >> 8);
}

} // namespace

PkwareCipher::PkwareCipher(const std::string& password) {
    for (const char c : password)
        UpdateKeys(static_cast<unsigned char>(c));
}

void PkwareCipher::UpdateKeys(unsigned char plain) {
    fKey0 = CrcStep(fKey0, plain);
    fKey1 = (fKey1 + (fKey0 & 0xFFu)) * 134775813u + 1u;
    fKey2 = CrcStep(fKey2, static_cast<unsigned char>(fKey1 >> 24));
}

std::array<unsigned char, PkwareCipher::kHeaderSize> PkwareCipher::MakeHeader(unsigned char checkByte) {
    std::array<unsigned char, kHeaderSize> header{};
    std::random_device random;
    for (std::size_t i = 0; i + 1 < kHeaderSize; i += 2) {
        const unsigned value = random();
        header[i] = static_cast<unsigned char>(value);
        header[i + 1] = static_cast<unsigned char>(value >> 8);
    }
    header[kHeaderSize - 1] = checkByte;
    Encrypt(header.data(), header.size());
    return header;
}

void PkwareCipher::Encrypt(unsigned char* data, std::size_t size) {
    std::uint32_t k0 = fKey0, k1 = fKey1, k2 = fKey2;
    const z_crc_t* table = CrcTable();
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint32_t temp = (k2 | 2u) & 0xFFFFu;
        const unsigned char plain = data[i];
        data[i] = static_cast<unsigned char>(plain ^ static_cast<unsigned char>((temp * (temp ^ 1u)) >> 8));
        k0 = static_cast<std::uint32_t>(table[(k0 ^ plain) & 0xFF]) ^ (k0 >> 8);
        k1 = (k1 + (k0 & 0xFFu)) * 134775813u + 1u;
        k2 = static_cast<std::uint32_t>(table[(k2 ^ (k1 >> 24)) & 0xFF]) ^ (k2 >> 8);
    }
    fKey0 = k0;
    fKey1 = k1;
    fKey2 = k2;
}

} // namespace archive
