#pragma once

// The writer's own temporary files: how they are recognised (so that no
// archive takes them in as data) and how a later run removes those that a
// killed run left behind.

#include <string>
#include <string_view>

namespace archive {

// True for a name the writer gives its files while it builds an archive
// (the archive's name followed by ".~" and eight hexadecimal digits).
bool IsWriterTemporaryName(std::string_view name);

// Finishes or undoes every interrupted set swap in folder, then removes every
// writer temporary file directly in it. True when all of them went;
// otherwise error names each one that stayed, with the cause. A swap that
// can be neither finished nor undone leaves everything in place.
bool RemoveWriterLeftovers(const std::string& folder, std::string& error);

} // namespace archive
