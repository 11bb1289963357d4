#pragma once

// Running processes and scheduling priority.

#include <functional>
#include <string>

namespace os {

struct ProcessInfo {
    int pid = 0;
    std::string imagePath; // full path of the executable (UTF-8); empty when it cannot be read
    std::string imageName; // the executable's file name as the system lists the process
};

// Calls visit for every running process until it returns false.
void ForEachProcess(const std::function<bool(const ProcessInfo& process)>& visit);

// Full path of the process's executable; empty when the process cannot be
// looked at (gone, or another user's).
std::string ProcessImagePath(int pid);

// The running process's own id.
int CurrentProcessId();

// Low priority (niceness 19 here, the idle class on Windows) or back to normal
// for the whole process or for the calling thread only. Returning to normal
// may need a privilege the user lacks: false then.
bool SetProcessLowPriority(bool low);
bool SetCurrentThreadLowPriority(bool low);

} // namespace os
