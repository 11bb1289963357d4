#pragma once

#include <QByteArray>

// A complete, valid zlib stream whose content is `mebibytes` (at least 1) MiB of
// zero bytes.
// It is built from one flushed block repeated, so a stream that inflates to
// gigabytes costs about 1 KiB per MiB to make and nothing to inflate here.
QByteArray ZlibStreamOfZeros(int mebibytes);
