#pragma once

#include "os/platform.h"

#include <QChar>

// The path separator of this platform (from the platform layer) as a QChar.
// Configured folders end with it, and exclusion fragments and folder test
// names use it.
inline constexpr QChar kPathDelim{static_cast<char16_t>(os::kPathDelim)};
