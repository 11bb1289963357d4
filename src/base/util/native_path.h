#pragma once

#include <QString>

#include <string>
#include <string_view>

// File names are byte strings to the operating system, but the engines keep
// paths as QString. Valid UTF-8 maps as usual; every byte that is not part of
// a valid UTF-8 sequence becomes the lone surrogate U+DC80 + byte (0x80..0xFF)
// and maps back to that byte, so any name survives the round trip unchanged.

QString PathFromNative(std::string_view bytes);
std::string PathToNative(const QString& path);

// True for the lone surrogates PathFromNative uses for an undecodable byte.
inline bool IsEscapedByte(QChar c) { return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF; }
