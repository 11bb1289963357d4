#ifndef _WIN32

#include "archive/file_io.h"
#include "os/file_attributes.h"
#include "os/posix/path_at.h"
#include "os/posix/unique_fd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace archive {

namespace {

std::string Describe(const char* what, const std::string& path, int code) {
    return std::string(what) + " '" + path + "': " + std::strerror(code);
}

// Writes all of data, at the current position or at *offset; retries short
// writes and interruptions.
bool WriteFully(int fd, const void* data, std::size_t size, const std::uint64_t* offset, std::string& error) {
    const auto* in = static_cast<const char*>(data);
    std::uint64_t at = offset ? *offset : 0;
    while (size > 0) {
        const ssize_t n = offset ? ::pwrite(fd, in, size, static_cast<off_t>(at)) : ::write(fd, in, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = std::strerror(errno);
            return false;
        }
        in += n;
        at += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::int64_t LastWriteStamp(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

FileFacts FactsFromStat(const struct stat& st, bool isLink, const std::string& name) {
    FileFacts facts;
    facts.isLink = isLink;
    facts.unixMode = static_cast<std::uint32_t>(st.st_mode & (S_IFMT | 0777));
    facts.timeKnown = true;
    facts.lastWrite = st.st_mtime;
    facts.device = static_cast<std::uint64_t>(st.st_dev);
    facts.fileId = static_cast<std::uint64_t>(st.st_ino);
    if (S_ISREG(st.st_mode)) {
        facts.kind = FileKind::File;
        facts.size = static_cast<std::uint64_t>(st.st_size);
        facts.dosAttributes = os::kAttrArchive;
    } else if (S_ISDIR(st.st_mode)) {
        facts.kind = FileKind::Folder;
        facts.dosAttributes = os::kAttrDirectory;
    } else {
        facts.kind = FileKind::Other;
        facts.dosAttributes = os::kAttrSystem;
    }
    if ((st.st_mode & S_IWUSR) == 0)
        facts.dosAttributes |= os::kAttrReadOnly;
    if (!name.empty() && name[0] == '.')
        facts.dosAttributes |= os::kAttrHidden;
    return facts;
}

// A link whose target cannot be reached still counts as a file: it is
// selected like one and then reported as unreadable.
FileFacts DanglingLinkFacts(const std::string& name) {
    FileFacts facts;
    facts.kind = FileKind::File;
    facts.isLink = true;
    facts.dosAttributes = os::kAttrArchive | (!name.empty() && name[0] == '.' ? os::kAttrHidden : 0);
    return facts;
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

using os::posix::LinksOnTheWay;
using os::posix::PathTooLongForOneCall;

// lstat or stat of path; a path too long for one call is reached through its
// parent, with links on the way followed as a single call would follow them.
int StatPath(const std::string& path, struct stat& st, bool followLink) {
    if (!PathTooLongForOneCall(path))
        return followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    const os::posix::PathAt at(path, LinksOnTheWay::Followed);
    if (!at.ok()) {
        errno = at.error();
        return -1;
    }
    return ::fstatat(at.dir(), at.name(), &st, followLink ? 0 : AT_SYMLINK_NOFOLLOW);
}

} // namespace

bool IsSeparator(char c) { return c == '/'; }

// Unix: the mode goes into the high 16 bits, where unzip, 7-Zip and zipfile
// restore permissions from, and the MS-DOS bits stay in the low byte.
const std::uint8_t kZipHostSystem = 3;

std::uint32_t ZipExternalAttributes(const FileFacts& facts, bool isFolder) {
    std::uint32_t mode = facts.unixMode;
    if ((mode & S_IFMT) != S_IFREG && (mode & S_IFMT) != S_IFDIR)
        mode = isFolder ? (S_IFDIR | 0755) : (S_IFREG | 0644);
    std::uint32_t dos = facts.dosAttributes ? facts.dosAttributes : (isFolder ? os::kAttrDirectory : os::kAttrArchive);
    return (mode << 16) | (dos & 0xFF);
}

FileFacts QueryFile(const std::string& path) {
    struct stat link {};
    if (StatPath(path, link, false) != 0)
        return {};
    const bool isLink = S_ISLNK(link.st_mode);
    if (!isLink)
        return FactsFromStat(link, false, NameOf(path));
    struct stat target {};
    if (StatPath(path, target, true) != 0)
        return DanglingLinkFacts(NameOf(path));
    return FactsFromStat(target, true, NameOf(path));
}

bool ListFolder(const std::string& folder, std::vector<FolderItem>& items, std::string& error) {
    items.clear();
    DIR* dir = nullptr;
    if (!PathTooLongForOneCall(folder)) {
        dir = ::opendir(folder.c_str());
    } else {
        os::posix::UniqueFd fd(os::posix::OpenFolder(folder, O_RDONLY, LinksOnTheWay::Followed));
        if (fd.ok() && (dir = ::fdopendir(fd.get())) != nullptr)
            fd.release();
    }
    if (!dir) {
        error = Describe("cannot list", folder, errno);
        return false;
    }
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        bool isLink = entry->d_type == DT_LNK;
        if (entry->d_type == DT_UNKNOWN) {
            if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            isLink = S_ISLNK(st.st_mode);
        }
        if (::fstatat(dirFd, name.c_str(), &st, 0) != 0) {
            if (isLink)
                items.push_back({name, DanglingLinkFacts(name)});
            continue;
        }
        items.push_back({name, FactsFromStat(st, isLink, name)});
    }
    ::closedir(dir);
    return true;
}

bool ToLocalTime(std::time_t t, std::tm& out) { return ::localtime_r(&t, &out) != nullptr; }

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& path, std::string& error, int& nativeError) {
    Close();
    // Non-blocking so that opening a FIFO cannot hang the run.
    fFd = os::posix::OpenPath(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC, LinksOnTheWay::Followed);
    if (fFd < 0) {
        nativeError = errno;
        error = Describe("cannot open", path, nativeError);
        return false;
    }
    struct stat st {};
    if (::fstat(fFd, &st) != 0 || !S_ISREG(st.st_mode)) {
        nativeError = S_ISREG(st.st_mode) ? errno : EINVAL;
        error = "cannot read '" + path + "': not a regular file";
        Close();
        return false;
    }
    ::fcntl(fFd, F_SETFL, ::fcntl(fFd, F_GETFL) & ~O_NONBLOCK);
    ::posix_fadvise(fFd, 0, 0, POSIX_FADV_SEQUENTIAL);
    fPath = path;
    fSize = static_cast<std::uint64_t>(st.st_size);
    fLastWriteStamp = LastWriteStamp(st);
    return true;
}

bool InputFile::Unchanged(std::string& error, int& nativeError) const {
    struct stat st {};
    if (::fstat(fFd, &st) != 0) {
        nativeError = errno;
        error = Describe("cannot query", fPath, nativeError);
        return false;
    }
    return SameAsWhenOpened(static_cast<std::uint64_t>(st.st_size), LastWriteStamp(st), error, nativeError);
}

long long InputFile::Read(void* buffer, std::size_t size, std::string& error, int& nativeError) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    // Fill the whole buffer where possible so chunks keep their full size.
    while (done < size) {
        const ssize_t n = ::read(fFd, out + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            nativeError = errno;
            error = Describe("cannot read", fPath, nativeError);
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

void InputFile::Close() {
    if (fFd >= 0)
        ::close(fFd);
    fFd = -1;
}

OutputFile::~OutputFile() {
    if (fFd >= 0)
        ::close(fFd);
}

bool OutputFile::IsOpen() const { return fFd >= 0; }

bool OutputFile::CreateUnique(const std::string& prefix, std::string& path, std::string& error) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        path = prefix + suffix;
        fFd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fFd >= 0) {
            fPath = path;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    error = Describe("cannot create", path, errno);
    return false;
}

bool OutputFile::CreateNew(const std::string& path, std::string& error) {
    fFd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fFd < 0) {
        error = Describe("cannot create", path, errno);
        return false;
    }
    fPath = path;
    return true;
}

bool OutputFile::Reopen(const std::string& path, std::string& error) {
    fFd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fFd < 0 || ::lseek(fFd, 0, SEEK_END) < 0) {
        error = Describe("cannot reopen", path, errno);
        if (fFd >= 0)
            ::close(fFd);
        fFd = -1;
        return false;
    }
    fPath = path;
    return true;
}

bool OutputFile::Append(const void* data, std::size_t size, std::string& error) {
    if (WriteFully(fFd, data, size, nullptr, error))
        return true;
    error = "cannot write '" + fPath + "': " + error;
    return false;
}

bool OutputFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size, std::string& error) {
    if (WriteFully(fFd, data, size, &offset, error))
        return true;
    error = "cannot write '" + fPath + "': " + error;
    return false;
}

bool OutputFile::Truncate(std::uint64_t size, std::string& error) {
    if (::ftruncate(fFd, static_cast<off_t>(size)) != 0 || ::lseek(fFd, static_cast<off_t>(size), SEEK_SET) < 0) {
        error = Describe("cannot truncate", fPath, errno);
        return false;
    }
    return true;
}

bool OutputFile::Flush(std::string& error) {
    if (::fsync(fFd) != 0) {
        error = Describe("cannot flush to disk", fPath, errno);
        return false;
    }
    return true;
}

bool OutputFile::Close(std::string& error) {
    if (fFd < 0)
        return true;
    const bool ok = ::close(fFd) == 0;
    fFd = -1;
    if (!ok)
        error = Describe("cannot close", fPath, errno);
    return ok;
}

bool RenameReplacing(const std::string& from, const std::string& to, std::string& error) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        error = "cannot rename '" + from + "' to '" + to + "': " + std::strerror(errno);
        return false;
    }
    // The new name is only durable once the folder itself is flushed.
    const int dir = ::open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void RemoveFileQuietly(const std::string& path) { ::unlink(path.c_str()); }

bool RemoveFile(const std::string& path, std::string& error) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return true;
    error = Describe("cannot delete", path, errno);
    return false;
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace archive

#endif
