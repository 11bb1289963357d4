#pragma once

// The per-user start-up entry: a desktop entry in $XDG_CONFIG_HOME/autostart
// here, a value of the Run key on Windows. name names the entry ("Norvane
// Backup" is stored as norvane-backup.desktop); a command is a program path
// with its arguments as the system would run it.

#include <optional>
#include <string>

namespace os {

// The command that starts program with arguments at log-on: the path in
// double quotes (escaped as the entry format needs) or as it is, followed by
// " " and the arguments when there are any.
std::string AutorunCommand(const std::string& program, const std::string& arguments, bool quoted);

// The command of the entry; nothing when there is no entry or it is switched off.
std::optional<std::string> ReadAutorunCommand(const std::string& name);

// Creates or replaces the entry; false when it cannot be written.
bool WriteAutorunCommand(const std::string& name, const std::string& command);

// Deletes the entry if it exists; false when it exists and cannot be deleted.
bool RemoveAutorun(const std::string& name);

// Where the entry of that name is kept (a file here, the key and value name on Windows).
std::string AutorunLocation(const std::string& name);

} // namespace os
