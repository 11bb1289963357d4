#include "os/shell.h"

#include <sys/stat.h>
#include <unistd.h>

namespace os {

std::vector<std::string> ShellOpenCommand(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0)
        return {path};
    return {"xdg-open", path};
}

} // namespace os
