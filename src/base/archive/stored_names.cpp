#include "archive/stored_names.h"

#include "os/utf8.h"

#include <cstdio>

namespace archive {

namespace {

std::size_t SequenceLength(const std::string& bytes, std::size_t i) {
    char32_t value = 0;
    return os::Utf8SequenceLength(bytes, i, value);
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
