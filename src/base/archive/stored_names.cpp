#include "archive/stored_names.h"

#include <cstdio>

namespace archive {

namespace {

// Length of the valid UTF-8 sequence at bytes[i], 0 when there is none
// (overlong forms, surrogates and values past U+10FFFF are invalid).
std::size_t SequenceLength(const std::string& bytes, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char c = at(i);
    if (c < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0)
            low = 0xA0;
        if (c == 0xED)
            high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0)
            low = 0x90;
        if (c == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    if (at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    return length;
}

} // namespace

bool IsValidUtf8(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string StoredNameProblem(const std::string& storedName) {
    if (!IsValidUtf8(storedName))
        return "the name is not valid UTF-8, so ZIP readers would restore it under another name";
    return {};
}

std::string ShownName(const std::string& bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, i);
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (length == 0 || c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
            ++i;
            continue;
        }
        shown.append(bytes, i, length);
        i += length;
    }
    return shown;
}

} // namespace archive
