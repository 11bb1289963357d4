#pragma once

#include <QByteArray>

// Whole-buffer zlib streams (zlib header, default level), as used for packed
// values in the settings file.
// Empty only when compression failed: even empty data compresses to a few bytes.
QByteArray CompressStream(const QByteArray& data);
// True when data holds one complete zlib stream whose checksum matches, and out
// its content; bytes after the end of the stream are ignored. False for a
// truncated, corrupted or empty input; out is then empty.
bool DecompressStream(const QByteArray& data, QByteArray& out);
