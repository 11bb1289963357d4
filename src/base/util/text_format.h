#pragma once

#include <QString>

// Byte count as shown in result lists, in binary units: "1.5 kb", "2 gb",
// "1023 b". At most two decimals with trailing zeros dropped; the decimal
// separator is always ".".
QString SizeToText(qint64 size);

// Lenient whole-number reading: blanks around the text are ignored, a leading
// "-" makes the result negative, and every other character that is not a
// decimal digit is dropped (so "1,5" reads as 15). Nothing left, or a number
// that does not fit in 64 bits, gives 0.
qint64 TextToInt64(const QString& text);

// "1" for true, "0" for false.
QString BoolToBit(bool value);

// A value outside low..high is replaced by the default; otherwise it is kept.
template <typename T>
constexpr T ClampOrDefault(T value, T low, T high, T defaultValue) {
    return (value < low || value > high) ? defaultValue : value;
}
