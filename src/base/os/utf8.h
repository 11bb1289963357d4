#pragma once

// Strict UTF-8 decoding of one sequence, shared by the path codec and the
// archive's name checks so that both agree on what "valid" means.

#include <cstddef>
#include <string_view>

namespace os {

// Length of the valid UTF-8 sequence starting at bytes[at] (1 for ASCII), or 0
// when it is not one: overlong forms, surrogates and values past U+10FFFF are
// invalid. value receives the code point of a valid sequence.
inline std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at, char32_t& value) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        value = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

} // namespace os
