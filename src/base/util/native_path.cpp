#include "util/native_path.h"

#include "os/utf8.h"

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

void AppendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

} // namespace

QString PathFromNative(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t at = 0; at < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            out += QChar(static_cast<char16_t>(lead));
            ++at;
            continue;
        }
        char32_t value = 0;
        const std::size_t length = os::Utf8SequenceLength(bytes, at, value);
        if (length == 0) {
            out += QChar(static_cast<char16_t>(kEscapeBase + lead));
            ++at;
            continue;
        }
        if (value < 0x10000) {
            out += QChar(static_cast<char16_t>(value));
        } else {
            out += QChar(QChar::highSurrogate(value));
            out += QChar(QChar::lowSurrogate(value));
        }
        at += length;
    }
    return out;
}

std::string PathToNative(const QString& path) {
    std::string out;
    out.reserve(static_cast<std::size_t>(path.size()));
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = path.at(i).unicode();
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (IsEscapedByte(QChar(c))) {
            out += static_cast<char>(c - kEscapeBase);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(path.at(i + 1).unicode())) {
            AppendUtf8(out, QChar::surrogateToUcs4(c, path.at(i + 1).unicode()));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            AppendUtf8(out, 0xFFFD); // a broken pair that no listing produced
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}
