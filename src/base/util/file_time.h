#pragma once

#include "util/date_time.h"

#include <QtGlobal>

// File times travel through the platform layer as nanoseconds since
// 1970-01-01 UTC; the engines keep them as day counts (UTC, see date_time.h).
TDateTime UnixNsToDateTime(qint64 nanoseconds);
qint64 DateTimeToUnixNs(TDateTime value);
