#pragma once

// The platform layer: everything that differs between Linux and Windows sits
// behind these functions. Standard library types only, so the header builds
// with any toolchain; the implementations are in posix/ and win/.

#include <string>
#include <string_view>

namespace os {

// The native path separator; folders end with it.
inline constexpr char kPathDelim =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// Full path of the running program's executable (UTF-8), empty when unknown.
std::string ExecutablePath();

// The per-user folder for application settings (UTF-8, no trailing separator):
// $XDG_CONFIG_HOME or ~/.config here, the roaming application data on Windows.
std::string UserConfigFolder();

// Names the user this process runs as, for names that must differ between
// users (the numeric user id here, the account name on Windows).
std::string CurrentUserKey();

// Replaces the file at path with bytes so that a crash or power loss at any
// moment leaves either the old or the new content, never a mix: the bytes go
// to a temporary file in the same folder, are flushed to disk and renamed over
// the target. On failure the target is untouched, the temporary file is
// removed, false is returned and error describes what failed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

} // namespace os
