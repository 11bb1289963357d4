#pragma once

// UTF-8 <-> UTF-16 for the Win32 calls of this folder.

#include <windows.h>

#include <string>

namespace os::win {

inline std::wstring Widen(const std::string& s) {
    if (s.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

inline std::string Narrow(const std::wstring& w) {
    if (w.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// A path for the wide-character file calls. One that the plain form cannot
// hold (folders stop at MAX_PATH - 12 characters) gets the \\?\ prefix
// (\\?\UNC\ for a share), with which Windows takes paths of up to 32,767
// characters. Such a path reaches the file system unparsed, so its separators
// become backslashes first (and "." or ".." are not resolved). Short,
// relative and device paths stay as they are.
inline std::wstring LongPath(const std::string& s) {
    std::wstring w = Widen(s);
    constexpr std::size_t kPlainLimit = MAX_PATH - 12;
    if (w.size() < kPlainLimit || w.rfind(L"\\\\?\\", 0) == 0 || w.rfind(L"\\\\.\\", 0) == 0)
        return w;
    for (wchar_t& c : w)
        if (c == L'/')
            c = L'\\';
    if (w.size() > 2 && w[0] == L'\\' && w[1] == L'\\')
        return L"\\\\?\\UNC\\" + w.substr(2);
    if (w.size() > 2 && w[1] == L':' && w[2] == L'\\')
        return L"\\\\?\\" + w;
    return w;
}

} // namespace os::win
