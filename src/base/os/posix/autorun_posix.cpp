#include "os/autorun.h"

#include "os/platform.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace os {

namespace {

// Inside a double-quoted Exec argument these four characters need a backslash.
std::string QuoteExecArgument(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// A desktop entry value: backslashes doubled, "%" doubled (field codes),
// line breaks as escapes; and the reverse for reading.
std::string EscapeExecValue(const std::string& command) {
    std::string value;
    for (const char c : command) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '%')
            value += "%%";
        else
            value += c;
    }
    return value;
}

std::string UnescapeExecValue(const std::string& value) {
    std::string command;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            command += next == 'n' ? '\n' : next == 't' ? '\t' : next == 's' ? ' ' : next == 'r' ? '\r' : next;
        } else if (c == '%' && i + 1 < value.size() && value[i + 1] == '%') {
            command += '%';
            ++i;
        } else {
            command += c;
        }
    }
    return command;
}

std::string FileNameFor(const std::string& name) {
    std::string file;
    for (const char c : name) {
        if (c == ' ' || c == '/' || c == '\\')
            file += '-';
        else
            file += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return file + ".desktop";
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

std::string AutorunLocation(const std::string& name) {
    return UserConfigFolder() + "/autostart/" + FileNameFor(name);
}

std::string AutorunCommand(const std::string& program, const std::string& arguments, bool quoted) {
    std::string command = quoted ? QuoteExecArgument(program) : program;
    if (!arguments.empty())
        command += " " + arguments;
    return command;
}

std::optional<std::string> ReadAutorunCommand(const std::string& name) {
    if (name.empty())
        return std::nullopt;
    std::ifstream in(AutorunLocation(name));
    if (!in)
        return std::nullopt;
    std::optional<std::string> command;
    bool inMainGroup = false;
    for (std::string line; std::getline(in, line);) {
        line = Trimmed(line);
        if (!line.empty() && line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = Trimmed(line.substr(0, equals));
        const std::string value = Trimmed(line.substr(equals + 1));
        if (key == "Exec")
            command = UnescapeExecValue(value);
        else if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return std::nullopt; // the entry is there but switched off
    }
    return command;
}

bool WriteAutorunCommand(const std::string& name, const std::string& command) {
    if (name.empty())
        return false;
    const std::string path = AutorunLocation(name);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::ostringstream entry;
    entry << "[Desktop Entry]\n"
          << "Type=Application\n"
          << "Name=" << name << "\n"
          << "Exec=" << EscapeExecValue(command) << "\n"
          << "Terminal=false\n"
          << "X-GNOME-Autostart-enabled=true\n";
    std::string message;
    return WriteFileAtomically(path, entry.str(), message);
}

bool RemoveAutorun(const std::string& name) {
    if (name.empty())
        return false;
    std::error_code error;
    std::filesystem::remove(AutorunLocation(name), error);
    return !error;
}

} // namespace os
