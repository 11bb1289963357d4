#include "os/shell.h"

namespace os {

std::vector<std::string> ShellOpenCommand(const std::string& path) {
    // Explorer runs a program and opens anything else with its associated application.
    return {"explorer.exe", path};
}

} // namespace os
