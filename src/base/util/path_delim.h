#pragma once

#include <QChar>

// The path separator of this platform. Configured folders end with it, and
// exclusion fragments and folder test names use it.
inline constexpr QChar kPathDelim{u'/'};
