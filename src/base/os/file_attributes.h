#pragma once

// Entry attribute bits as the engines read them. On Windows they are the
// file system's own attribute bits; elsewhere the platform layer derives them:
// read-only when the owner may not write, hidden when the name starts with
// ".", system for devices, pipes and sockets, reparse point for a symbolic link.

#include <cstdint>

namespace os {

inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;

} // namespace os
