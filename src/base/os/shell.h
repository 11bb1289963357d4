#pragma once

// Opening a document or starting a program the way the desktop would.

#include <string>
#include <vector>

namespace os {

// The command line (program first) that opens path with its default action:
// an executable file is run itself, anything else goes to the desktop's opener.
std::vector<std::string> ShellOpenCommand(const std::string& path);

} // namespace os
