#include "os/autorun.h"

#include "os/win/wide_text.h"

namespace os {

namespace {

const wchar_t* const kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

} // namespace

std::string AutorunLocation(const std::string& name) {
    return "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\" + name;
}

std::string AutorunCommand(const std::string& program, const std::string& arguments, bool quoted) {
    std::string command = quoted ? "\"" + program + "\"" : program;
    if (!arguments.empty())
        command += " " + arguments;
    return command;
}

std::optional<std::string> ReadAutorunCommand(const std::string& name) {
    if (name.empty())
        return std::nullopt;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t buffer[2048];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, win::Widen(name).c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring value(buffer, size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0')
        value.pop_back();
    return win::Narrow(value);
}

bool WriteAutorunCommand(const std::string& name, const std::string& command) {
    HKEY key;
    if (name.empty() || RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                        nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring value = win::Widen(command);
    const LONG result = RegSetValueExW(key, win::Widen(name).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool RemoveAutorun(const std::string& name) {
    HKEY key;
    if (name.empty() || RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    const LONG result = RegDeleteValueW(key, win::Widen(name).c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

} // namespace os
