#pragma once

// The text side of a freedesktop.org trash entry: the name it gets in the
// trash's files/ folder and the .trashinfo record beside it. Names and paths
// are byte strings; nothing here touches the file system.

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace os {

// The longest name of an item in files/: its record in info/ adds
// ".trashinfo" and must still fit in a file name (255 bytes).
inline constexpr std::size_t kTrashNameMax = 255 - 10;

// The name to try for the item called name: with number 0 the name itself
// while it fits, otherwise its start cut at a character boundary; with
// another number "." + number goes before a short extension. Never longer
// than kTrashNameMax.
std::string TrashEntryName(std::string_view name, unsigned long long number);

// The path percent-encoded for a record: every byte but letters, digits,
// "/" and the unreserved marks -_.!~*'() becomes %XX.
std::string PercentEncodePath(std::string_view path);

// The whole .trashinfo text for an item that was at path (absolute, or
// relative to the volume's top folder) and went at the local time deleted.
std::string TrashInfoText(std::string_view path, const std::tm& deleted);

} // namespace os
