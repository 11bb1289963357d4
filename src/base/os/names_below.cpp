#include "os/names_below.h"

namespace os {

bool StepThroughNamesBelow(std::string_view below, std::string_view separators,
                           const std::function<bool(const std::string& name)>& step) {
    for (std::size_t start = 0; start < below.size();) {
        std::size_t end = below.find_first_of(separators, start);
        if (end == std::string_view::npos)
            end = below.size();
        const std::string name(below.substr(start, end - start));
        start = end + 1;
        if (name.empty() || name == ".")
            continue;
        if (name == ".." || !step(name))
            return false;
    }
    return true;
}

} // namespace os
