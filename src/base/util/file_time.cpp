#include "util/file_time.h"

#include <cmath>

namespace {

constexpr double kUnixEpochDays = 25569.0; // 1970-01-01 as a day count
constexpr double kSecondsPerDay = 86400.0;
constexpr qint64 kNsPerSecond = 1000000000;

} // namespace

TDateTime UnixNsToDateTime(qint64 nanoseconds) {
    // Whole seconds and the rest apart, so that a double keeps sub-microsecond precision.
    qint64 seconds = nanoseconds / kNsPerSecond;
    qint64 rest = nanoseconds % kNsPerSecond;
    if (rest < 0) {
        rest += kNsPerSecond;
        --seconds;
    }
    const double secondsSinceEpoch = static_cast<double>(seconds) + static_cast<double>(rest) / 1e9;
    const double linear = kUnixEpochDays + secondsSinceEpoch / kSecondsPerDay;
    if (linear >= 0)
        return linear;
    // Before 1899-12-30 the whole part counts days backwards while the fraction still counts forward from midnight.
    const double day = std::floor(linear);
    return day - (linear - day);
}

qint64 DateTimeToUnixNs(TDateTime value) {
    double linear = value;
    if (value < 0) {
        const double whole = std::trunc(value);
        linear = whole + std::fabs(value - whole);
    }
    const double seconds = (linear - kUnixEpochDays) * kSecondsPerDay;
    const double wholeSeconds = std::floor(seconds);
    const qint64 ns = std::llround((seconds - wholeSeconds) * 1e9);
    return static_cast<qint64>(wholeSeconds) * kNsPerSecond + ns;
}
