#include "os/processes.h"

#include "os/win/wide_text.h"

#include <psapi.h>
#include <tlhelp32.h>

namespace os {

std::string ProcessImagePath(int pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return {};
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameExW(process, nullptr, buffer, MAX_PATH);
    CloseHandle(process);
    return n ? win::Narrow(std::wstring(buffer, n)) : std::string();
}

void ForEachProcess(const std::function<bool(const ProcessInfo& process)>& visit) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        ProcessInfo info;
        info.pid = static_cast<int>(entry.th32ProcessID);
        info.imageName = win::Narrow(entry.szExeFile);
        info.imagePath = ProcessImagePath(info.pid);
        if (!visit(info))
            break;
    }
    CloseHandle(snapshot);
}

int CurrentProcessId() { return static_cast<int>(GetCurrentProcessId()); }

bool SetProcessLowPriority(bool low) {
    return SetPriorityClass(GetCurrentProcess(), low ? IDLE_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS) != 0;
}

bool SetCurrentThreadLowPriority(bool low) {
    return SetThreadPriority(GetCurrentThread(), low ? THREAD_PRIORITY_IDLE : THREAD_PRIORITY_NORMAL) != 0;
}

} // namespace os
