#pragma once

#include <QByteArrayView>
#include <QString>

// The published 32-bit MurmurHash2 (m = 0x5bd1e995, r = 24) of the bytes.
quint32 MurmurHash2(QByteArrayView bytes, quint32 seed);
// The same over the text's UTF-8 bytes.
quint32 MurmurHash2(const QString& text, quint32 seed);
