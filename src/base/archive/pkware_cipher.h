#pragma once

// Traditional PKWARE encryption (APPNOTE section 6.1).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace archive {

class PkwareCipher {
public:
    static constexpr std::size_t kHeaderSize = 12;

    // Keys initialised from the password bytes.
    explicit PkwareCipher(const std::string& password);

    // The encrypted 12-byte header: 11 random bytes from the system's random
    // source and the check byte last.
    std::array<unsigned char, kHeaderSize> MakeHeader(unsigned char checkByte);
    void Encrypt(unsigned char* data, std::size_t size);

private:
    void UpdateKeys(unsigned char plain);

    std::uint32_t fKey0 = 0x12345678u;
    std::uint32_t fKey1 = 0x23456789u;
    std::uint32_t fKey2 = 0x34567890u;
};

} // namespace archive
