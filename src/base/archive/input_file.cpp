#include "archive/file_io.h"

// The platform-neutral part of InputFile.

namespace archive {

bool InputFile::SameAsWhenOpened(std::uint64_t size, std::int64_t lastWriteStamp, std::string& error,
                                 int& nativeError) const {
    if (size == fSize && lastWriteStamp == fLastWriteStamp)
        return true;
    nativeError = 0;
    error = "'" + fPath + "' changed while it was read";
    return false;
}

} // namespace archive
