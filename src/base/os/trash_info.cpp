#include "os/trash_info.h"

#include <cstdio>

namespace os {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The first at most limit bytes of text, backed off so that a UTF-8
// sequence is not cut in two (bytes that are not UTF-8 are cut anywhere).
std::string_view CutAtCharacter(std::string_view text, std::size_t limit) {
    if (text.size() <= limit)
        return text;
    std::size_t end = limit;
    for (int back = 0; back < 3 && end > 0 && IsContinuationByte(text[end]); ++back)
        --end;
    if (end > 0 && IsContinuationByte(text[end]))
        end = limit;
    return text.substr(0, end);
}

bool IsKeptInPath(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '/': case '-': case '_': case '.': case '!': case '~': case '*': case '\'': case '(': case ')':
        return true;
    default:
        return false;
    }
}

} // namespace

std::string TrashEntryName(std::string_view name, unsigned long long number) {
    if (number == 0 && name.size() <= kTrashNameMax)
        return std::string(name);
    // A short extension stays, so the trashed item still opens with its program.
    std::string_view stem = name, extension;
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0 && name.size() - dot <= 16) {
        stem = name.substr(0, dot);
        extension = name.substr(dot);
    }
    const std::string numberText = number == 0 ? std::string() : "." + std::to_string(number);
    const std::size_t room = kTrashNameMax - numberText.size() - extension.size();
    std::string result(CutAtCharacter(stem, room));
    result += numberText;
    result += extension;
    return result;
}

std::string PercentEncodePath(std::string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsKeptInPath(c)) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

std::string TrashInfoText(std::string_view path, const std::tm& deleted) {
    char date[64];
    std::snprintf(date, sizeof date, "%04d-%02d-%02dT%02d:%02d:%02d", deleted.tm_year + 1900, deleted.tm_mon + 1,
                  deleted.tm_mday, deleted.tm_hour, deleted.tm_min, deleted.tm_sec);
    return "[Trash Info]\nPath=" + PercentEncodePath(path) + "\nDeletionDate=" + date + "\n";
}

} // namespace os
