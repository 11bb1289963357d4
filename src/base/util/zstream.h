#pragma once

#include <QByteArray>

// Whole-buffer zlib streams (zlib header, default level), as used for packed
// values in the settings file.
// Empty only when compression failed: even empty data compresses to a few bytes.
QByteArray CompressStream(const QByteArray& data);
// True when data holds one complete zlib stream whose checksum matches, and out
// its content; bytes after the end of the stream are ignored. False for a
// truncated, corrupted or empty input, and for content longer than maxSize
// bytes; out is then empty. Inflation stops as soon as maxSize is passed, so a
// small stream that would expand to gigabytes costs no more than maxSize.
bool DecompressStream(const QByteArray& data, QByteArray& out, qsizetype maxSize);
