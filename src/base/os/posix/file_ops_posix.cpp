#include "os/file_ops.h"

#include "os/names_below.h"
#include "os/posix/path_at.h"
#include "os/posix/unique_fd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

using posix::PathAt;
using posix::UniqueFd;

namespace {

constexpr std::int64_t kNsPerSecond = 1000000000;

// The system's reason for the last failed call.
std::string Reason() { return std::strerror(errno); }

std::int64_t ToNs(const timespec& t) { return static_cast<std::int64_t>(t.tv_sec) * kNsPerSecond + t.tv_nsec; }

timespec FromNs(std::int64_t ns) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(ns / kNsPerSecond);
    t.tv_nsec = static_cast<long>(ns % kNsPerSecond);
    if (t.tv_nsec < 0) {
        t.tv_nsec += kNsPerSecond;
        --t.tv_sec;
    }
    return t;
}

// Removes everything inside the open folder dirFd; false when something stayed.
bool RemoveContent(int dirFd) {
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return false;
    }
    bool ok = true;
    std::vector<std::string> folders;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            folders.push_back(name);
        else if (::unlinkat(dirFd, name.c_str(), 0) != 0)
            ok = false;
    }
    for (const std::string& name : folders) {
        ::fchmodat(dirFd, name.c_str(), S_IRWXU | 0755, 0);
        const int child = ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0 || !RemoveContent(child))
            ok = false;
        if (::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) != 0)
            ok = false;
    }
    ::closedir(dir);
    return ok;
}

// The status of a stat result; the kind does not follow links.
void FillStatus(const struct stat& st, PathStatus& status) {
    if (S_ISREG(st.st_mode))
        status.kind = PathKind::File;
    else if (S_ISDIR(st.st_mode))
        status.kind = PathKind::Folder;
    else if (S_ISLNK(st.st_mode))
        status.kind = PathKind::SymLink;
    else
        status.kind = PathKind::Other;
    status.size = status.kind == PathKind::File ? static_cast<std::int64_t>(st.st_size) : 0;
    status.modifiedNs = ToNs(st.st_mtim);
    status.accessedNs = ToNs(st.st_atim);
    status.readOnly = (st.st_mode & S_IWUSR) == 0;
    status.permissions = static_cast<std::uint32_t>(st.st_mode & 0777);
    status.device = static_cast<std::uint64_t>(st.st_dev);
    status.inode = static_cast<std::uint64_t>(st.st_ino);
}

} // namespace

PathStatus StatusOf(const std::string& path) {
    PathStatus status;
    struct stat st {};
    const PathAt at(path);
    if (!at.ok())
        errno = at.error();
    else if (::fstatat(at.dir(), at.name(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        FillStatus(st, status);
        return status;
    }
    if (errno != ENOENT && errno != ENOTDIR) {
        status.kind = PathKind::Error;
        status.errorText = std::strerror(errno);
    }
    return status;
}

bool SetPathTimes(const std::string& path, std::int64_t accessedNs, std::int64_t modifiedNs) {
    const timespec times[2] = {FromNs(accessedNs), FromNs(modifiedNs)};
    const PathAt at(path);
    return at.ok() && ::utimensat(at.dir(), at.name(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool SetPermissions(const std::string& path, std::uint32_t permissions) {
    const PathAt at(path);
    return at.ok() && ::fchmodat(at.dir(), at.name(), static_cast<mode_t>(permissions & 0777), 0) == 0;
}

OwnerWriteAccess::OwnerWriteAccess(const std::string& folder) : fFolder(folder) {
    if (fFolder.empty())
        return;
    struct stat st {};
    const PathAt at(fFolder);
    if (!at.ok() || ::fstatat(at.dir(), at.name(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode) ||
        (st.st_mode & (S_IWUSR | S_IXUSR)) == (S_IWUSR | S_IXUSR))
        return;
    fMode = static_cast<std::uint32_t>(st.st_mode & 07777);
    fGranted = ::fchmodat(at.dir(), at.name(), static_cast<mode_t>(fMode | S_IWUSR | S_IXUSR), 0) == 0;
}

OwnerWriteAccess::~OwnerWriteAccess() {
    if (!fGranted)
        return;
    const PathAt at(fFolder);
    if (at.ok())
        ::fchmodat(at.dir(), at.name(), static_cast<mode_t>(fMode), 0);
}

bool MakeFolders(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    struct stat st {};
    {
        const PathAt at(folder);
        if (at.ok() && ::mkdirat(at.dir(), at.name(), 0777) == 0)
            return true;
        if (!at.ok())
            errno = at.error();
        if (errno == EEXIST)
            return ::fstatat(at.dir(), at.name(), &st, 0) == 0 && S_ISDIR(st.st_mode);
        if (errno != ENOENT)
            return false;
    }
    // A parent is missing: make the parents first, then this folder.
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos || slash == 0 || !MakeFolders(folder.substr(0, slash)))
        return false;
    const PathAt at(folder);
    return at.ok() && (::mkdirat(at.dir(), at.name(), 0777) == 0 ||
                       (::fstatat(at.dir(), at.name(), &st, 0) == 0 && S_ISDIR(st.st_mode)));
}

bool MakeFoldersBelow(const std::string& root, const std::string& below, HeldFolder* held) {
    // Each component is entered through the descriptor of its parent with
    // O_NOFOLLOW, so a link anywhere below root is refused, never entered
    // (O_DIRECTORY refuses a link or a file). An existing folder, the usual
    // case, costs one call.
    UniqueFd folder(posix::OpenFolder(root, O_PATH));
    if (!folder.ok() && MakeFolders(root))
        folder.reset(posix::OpenFolder(root, O_PATH));
    errno = folder.ok() ? EINVAL : errno; // the reason when a name climbs out of root
    const bool made = folder.ok() && StepThroughNamesBelow(below, "/", [&](const std::string& name) {
        constexpr int kFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        UniqueFd next(::openat(folder.get(), name.c_str(), kFlags));
        if (!next.ok() && errno == ENOENT && (::mkdirat(folder.get(), name.c_str(), 0777) == 0 || errno == EEXIST))
            next.reset(::openat(folder.get(), name.c_str(), kFlags));
        if (!next.ok())
            return false;
        folder.swap(next);
        return true;
    });
    if (held) {
        std::string path = root;
        if (!below.empty())
            path += (path.empty() || path.back() == '/' ? "" : "/") + below;
        if (path.empty() || path.back() != '/')
            path += '/';
        held->Reset(made ? folder.release() : HeldFolder::kNoHandle, std::move(path), made ? std::string() : Reason());
    }
    return made;
}

bool RemoveFile(const std::string& path) {
    const PathAt at(path);
    if (!at.ok())
        return at.error() == ENOENT;
    return ::unlinkat(at.dir(), at.name(), 0) == 0 || errno == ENOENT;
}

bool RemoveTree(const std::string& path) {
    struct stat st {};
    const PathAt at(path);
    if (!at.ok())
        return at.error() == ENOENT;
    if (::fstatat(at.dir(), at.name(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(at.dir(), at.name(), 0) == 0;
    ::fchmodat(at.dir(), at.name(), (st.st_mode & 07777) | S_IRWXU, 0);
    const int fd = ::openat(at.dir(), at.name(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
        RemoveContent(fd);
    // Gone only when it is proven gone: a failed examination is no absence.
    return ::unlinkat(at.dir(), at.name(), AT_REMOVEDIR) == 0 ||
           (::fstatat(at.dir(), at.name(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT);
}

bool ReadSymLink(const std::string& path, std::string& target) {
    const PathAt at(path);
    if (!at.ok())
        return false;
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlinkat(at.dir(), at.name(), buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (static_cast<std::size_t>(n) < buffer.size()) {
            target.assign(buffer.data(), static_cast<std::size_t>(n));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool MakeSymLink(const std::string& target, const std::string& path) {
    const PathAt at(path);
    return at.ok() && ::symlinkat(target.c_str(), at.dir(), at.name()) == 0;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
    const PathAt source(from);
    const PathAt target(to);
    return source.ok() && target.ok() && ::renameat(source.dir(), source.name(), target.dir(), target.name()) == 0;
}

namespace {

std::mt19937_64& NameRandom() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    return random;
}

// Opens a new file with a unique name beginning with prefix in the open
// folder dirFd; the name goes to name. -1 with errno set when none could be made.
int OpenUniqueAt(int dirFd, const std::string& prefix, mode_t mode, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(NameRandom()()));
        std::string candidate = prefix + suffix;
        const int fd = ::openat(dirFd, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            name = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// Copies until the end of the input; stops early once expected bytes are
// copied (the caller compares the source's size before and after anyway).
// errorText receives the system's reason of a failure.
CopyResult CopyBlocks(int in, int out, std::int64_t expected, std::int64_t blockSize, const CopyProgress& progress,
                      std::string& errorText) {
    std::int64_t copied = 0;
    bool kernelCopy = true;
    // One buffer per thread for every copy that cannot go through the kernel:
    // a fresh zero-filled block for each of many small files costs more than their copies.
    thread_local std::vector<char> buffer;
    for (;;) {
        ssize_t written = 0;
        if (kernelCopy) {
            written = ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(blockSize), 0);
            if (written < 0) {
                // Not possible between these file systems (or at all): plain reads and writes instead.
                if (copied == 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                                    errno == EBADF)) {
                    kernelCopy = false;
                    continue;
                }
                if (errno == EINTR)
                    continue;
                errorText = Reason();
                return errno == EIO ? CopyResult::SourceFailed : CopyResult::TargetFailed;
            }
        } else {
            if (buffer.size() < static_cast<std::size_t>(blockSize))
                buffer.resize(static_cast<std::size_t>(blockSize));
            const ssize_t got = ::read(in, buffer.data(), static_cast<std::size_t>(blockSize));
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                errorText = Reason();
                return CopyResult::SourceFailed;
            }
            while (written < got) {
                const ssize_t n = ::write(out, buffer.data() + written, static_cast<std::size_t>(got - written));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    errorText = n < 0 ? Reason() : std::strerror(ENOSPC);
                    return CopyResult::TargetFailed;
                }
                written += n;
            }
        }
        if (written == 0)
            return CopyResult::Ok;
        copied += written;
        if (progress && !progress(copied))
            return CopyResult::Stopped;
        if (copied >= expected)
            return CopyResult::Ok;
    }
}

// Fills the new file out from in (whose status before is given) and gives it
// the source's times and permission bits; the new file stays where it is.
CopyResult FillNewFile(int in, const struct stat& before, int out, const CopyRequest& request, CopyReport& report) {
    CopyResult result = CopyBlocks(in, out, static_cast<std::int64_t>(before.st_size), request.blockSize,
                                   request.progress, report.errorText);
    if (result != CopyResult::Ok)
        return result;
    struct stat after {};
    if (::fstat(in, &after) != 0) {
        report.errorText = Reason();
        return CopyResult::SourceFailed;
    }
    if (after.st_size != before.st_size || ToNs(after.st_mtim) != ToNs(before.st_mtim))
        return CopyResult::SourceChanged;
    // The file was made with the source's permission bits; they need setting
    // again only where the creation mask took some away.
    const mode_t mode = before.st_mode & 0777;
    const timespec times[2] = {before.st_atim, before.st_mtim};
    struct stat written {};
    if (::futimens(out, times) != 0 || ::fstat(out, &written) != 0 ||
        ((written.st_mode & 0777) != mode && ::fchmod(out, mode) != 0)) {
        report.errorText = Reason();
        return CopyResult::TargetFailed;
    }
    report.device = static_cast<std::uint64_t>(written.st_dev);
    report.inode = static_cast<std::uint64_t>(written.st_ino);
    return CopyResult::Ok;
}

} // namespace

HeldFolder::HeldFolder(const std::string& path) {
    const int fd = posix::OpenFolder(path, O_PATH);
    Reset(fd, path, fd < 0 ? Reason() : std::string());
}

void HeldFolder::Reset(std::intptr_t handle, std::string path, std::string errorText) {
    if (fHandle != kNoHandle && fHandle != handle)
        ::close(static_cast<int>(fHandle));
    fHandle = handle < 0 ? kNoHandle : handle;
    fPath = std::move(path);
    fErrorText = std::move(errorText);
}

bool CreateUniqueFile(const std::string& folder, const std::string& prefix, std::string& path) {
    const HeldFolder held(folder);
    std::string name;
    UniqueFd fd(held.ok() ? OpenUniqueAt(static_cast<int>(held.handle()), prefix, 0600, name) : -1);
    if (!fd.ok())
        return false;
    path = folder + name;
    return true;
}

CopyReport CopyIntoFolder(const std::string& source, const HeldFolder& folder, const std::string& name,
                          const CopyRequest& request) {
    CopyReport report;
    if (!folder.ok())
        return report.Fail(CopyResult::TargetFailed, folder.errorText());
    const int dirFd = static_cast<int>(folder.handle());
    // O_NONBLOCK: a pipe put in the file's place since it was examined is not waited on.
    const PathAt sourceAt(source);
    UniqueFd in(sourceAt.ok() ? ::openat(sourceAt.dir(), sourceAt.name(),
                                         O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY)
                              : -1);
    if (!in.ok())
        return report.Fail(CopyResult::SourceFailed, sourceAt.ok() ? Reason() : std::strerror(sourceAt.error()));
    struct stat before {};
    if (::fstat(in.get(), &before) != 0)
        return report.Fail(CopyResult::SourceFailed, Reason());
    if (!S_ISREG(before.st_mode))
        return report.Fail(CopyResult::SourceChanged, "no longer a regular file");

    std::string tempName;
    UniqueFd out(OpenUniqueAt(dirFd, request.prefix, before.st_mode & 0777, tempName));
    if (!out.ok())
        return report.Fail(CopyResult::TargetFailed, Reason());
    report.result = FillNewFile(in.get(), before, out.get(), request, report);
    if (report.result == CopyResult::Ok && !out.close())
        report.Fail(CopyResult::TargetFailed, Reason());
    // Renaming a file over a folder fails, so a folder in the way is never replaced.
    if (report.result == CopyResult::Ok && ::renameat(dirFd, tempName.c_str(), dirFd, name.c_str()) != 0)
        report.Fail(CopyResult::TargetFailed, Reason());
    if (report.result != CopyResult::Ok) {
        out.close();
        ::unlinkat(dirFd, tempName.c_str(), 0);
    }
    return report;
}

} // namespace os
