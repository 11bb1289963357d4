#include "os/processes.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace os {

namespace {

constexpr int kNiceLow = 19;
constexpr int kNiceNormal = 0;
// The kernel keeps a process's name to 15 bytes.
constexpr std::size_t kCommLength = 15;

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FirstArgument(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string argument;
    std::getline(in, argument, '\0');
    return argument;
}

// The name is kept short by the kernel; a longer executable name is taken
// from the image path or the first argument when it begins with that name.
std::string ImageNameOf(int pid, const std::string& imagePath) {
    const std::string comm = FirstLine("/proc/" + std::to_string(pid) + "/comm");
    if (comm.size() < kCommLength)
        return comm;
    for (const std::string& full : {FileNameOf(imagePath), FileNameOf(FirstArgument(pid))})
        if (full.size() > comm.size() && full.compare(0, comm.size(), comm) == 0)
            return full;
    return comm;
}

bool IsNumber(const char* text) {
    if (!*text)
        return false;
    for (; *text; ++text)
        if (!std::isdigit(static_cast<unsigned char>(*text)))
            return false;
    return true;
}

bool SetNice(int pid, bool low) {
    return ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid), low ? kNiceLow : kNiceNormal) == 0;
}

} // namespace

std::string ProcessImagePath(int pid) {
    char buffer[PATH_MAX];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (n <= 0 || n >= static_cast<ssize_t>(sizeof buffer))
        return {};
    std::string path(buffer, static_cast<std::size_t>(n));
    // A program replaced on disk while it runs is still that program.
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
        path.resize(path.size() - deleted.size());
    return path;
}

void ForEachProcess(const std::function<bool(const ProcessInfo& process)>& visit) {
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return;
    while (const dirent* entry = ::readdir(proc)) {
        if (!IsNumber(entry->d_name))
            continue;
        ProcessInfo info;
        info.pid = std::atoi(entry->d_name);
        info.imagePath = ProcessImagePath(info.pid);
        info.imageName = ImageNameOf(info.pid, info.imagePath);
        if (info.imageName.empty() && info.imagePath.empty())
            continue; // ended while being looked at
        if (!visit(info))
            break;
    }
    ::closedir(proc);
}

int CurrentProcessId() { return static_cast<int>(::getpid()); }

bool SetProcessLowPriority(bool low) {
    // Niceness belongs to each thread here, so every thread of the process is changed.
    bool ok = true;
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks)
        return SetNice(0, low);
    while (const dirent* entry = ::readdir(tasks))
        if (IsNumber(entry->d_name))
            ok = SetNice(std::atoi(entry->d_name), low) && ok;
    ::closedir(tasks);
    return ok;
}

bool SetCurrentThreadLowPriority(bool low) { return SetNice(static_cast<int>(::gettid()), low); }

} // namespace os
