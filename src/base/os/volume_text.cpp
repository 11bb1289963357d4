#include "os/volume_text.h"

#include <cctype>
#include <cstdio>

namespace os {

namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

std::string UpperHexDigits(std::string_view text) {
    std::string digits;
    for (const char c : text)
        if (IsHex(c))
            digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digits;
}

std::string Format(std::string_view eightDigits) {
    return std::string(eightDigits.substr(0, 4)) + ":" + std::string(eightDigits.substr(4, 4));
}

bool AllHex(std::string_view text) {
    for (const char c : text)
        if (!IsHex(c))
            return false;
    return true;
}

// Mount points with blanks or backslashes are written with octal escapes.
std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view code = field.substr(i + 1, 3);
            if (code[0] >= '0' && code[0] <= '3' && code[1] >= '0' && code[1] <= '7' &&
                code[2] >= '0' && code[2] <= '7') {
                out += static_cast<char>((code[0] - '0') * 64 + (code[1] - '0') * 8 + (code[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

} // namespace

std::string VolumeIdFromSerial(std::uint32_t serial) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", serial);
    return Format(digits);
}

std::string VolumeIdFromUuid(std::string_view uuid) {
    const bool fatSerial = uuid.size() == 9 && uuid[4] == '-' && AllHex(uuid.substr(0, 4)) && AllHex(uuid.substr(5));
    if (fatSerial)
        return Format(UpperHexDigits(uuid));
    if (uuid.size() == 16 && AllHex(uuid))
        return Format(UpperHexDigits(uuid.substr(8)));
    const std::string digits = UpperHexDigits(uuid);
    return digits.size() < 8 ? std::string() : Format(digits);
}

std::vector<MountInfoEntry> ParseMountInfo(std::string_view text) {
    // Fields: id parent major:minor root mount-point options [optional...] - fs-type source super-options
    std::vector<MountInfoEntry> mounts;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::vector<std::string_view> fields = SplitFields(text.substr(start, end - start));
        start = end + 1;
        std::size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-")
            ++dash;
        if (fields.size() < 6 || dash + 2 >= fields.size())
            continue;
        mounts.push_back({Unescape(fields[4]), Unescape(fields[dash + 1]), Unescape(fields[dash + 2])});
    }
    return mounts;
}

} // namespace os
