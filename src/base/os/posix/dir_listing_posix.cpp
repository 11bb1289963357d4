#include "os/dir_listing.h"
#include "os/file_attributes.h"
#include "os/posix/path_at.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

// The names of one open folder, read in batches, with the type the folder
// itself records for each. Owns the descriptor.
class FolderNames {
public:
    explicit FolderNames(int fd);
    ~FolderNames();
    FolderNames(const FolderNames&) = delete;
    FolderNames& operator=(const FolderNames&) = delete;

    bool IsOpen() const;
    int Fd() const { return fFd; }
    // The next name ("." and ".." included), or nullptr at the end or when
    // reading failed; Error() then tells which.
    const char* Next(unsigned char& type);
    int Error() const { return fError; }

private:
    int fFd;
    int fError = 0;
#ifdef __linux__
    // getdents64 straight on the descriptor: fdopendir would add an fstat and
    // two fcntl per folder, most of a no-change scan's time on trees of many
    // small folders. 32 KiB holds over a thousand short names per call.
    static constexpr std::size_t kBufferBytes = 32 * 1024;
    alignas(dirent64) char fBuffer[kBufferBytes];
    std::size_t fFilled = 0;
    std::size_t fOffset = 0;
#else
    DIR* fDir = nullptr;
#endif
};

#ifdef __linux__
FolderNames::FolderNames(int fd) : fFd(fd) {}

FolderNames::~FolderNames() {
    if (fFd >= 0)
        ::close(fFd);
}

bool FolderNames::IsOpen() const { return fFd >= 0; }

const char* FolderNames::Next(unsigned char& type) {
    if (fOffset >= fFilled) {
        ssize_t got;
        do
            got = ::getdents64(fFd, fBuffer, kBufferBytes);
        while (got < 0 && errno == EINTR);
        if (got <= 0) {
            if (got < 0)
                fError = errno != 0 ? errno : EIO;
            return nullptr;
        }
        fFilled = static_cast<std::size_t>(got);
        fOffset = 0;
    }
    const auto* record = reinterpret_cast<const dirent64*>(fBuffer + fOffset);
    fOffset += record->d_reclen;
    type = record->d_type;
    return record->d_name;
}
#else
FolderNames::FolderNames(int fd) : fFd(fd) {
    if (fd >= 0 && !(fDir = ::fdopendir(fd))) {
        ::close(fd);
        fFd = -1;
    }
}

FolderNames::~FolderNames() {
    if (fDir)
        ::closedir(fDir);
}

bool FolderNames::IsOpen() const { return fDir != nullptr; }

const char* FolderNames::Next(unsigned char& type) {
    errno = 0;
    const dirent* raw = ::readdir(fDir);
    if (!raw) {
        fError = errno;
        return nullptr;
    }
    type = raw->d_type;
    return raw->d_name;
}
#endif

constexpr std::int64_t kNsPerSecond = 1000000000;

std::int64_t ToNs(const statx_timestamp& t) { return static_cast<std::int64_t>(t.tv_sec) * kNsPerSecond + t.tv_nsec; }
std::int64_t ToNs(const timespec& t) { return static_cast<std::int64_t>(t.tv_sec) * kNsPerSecond + t.tv_nsec; }

EntryKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISLNK(mode))
        return EntryKind::SymLink;
    return EntryKind::Other;
}

EntryKind KindOfDirentType(unsigned char type) {
    switch (type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
        return EntryKind::SymLink;
    case DT_UNKNOWN:
        return EntryKind::File; // nothing better is known about a vanished entry
    default:
        return EntryKind::Other;
    }
}

// statx gives the birth time; kernels or sandboxes without it fall back to
// fstatat once and for all.
std::atomic<bool> gStatxMissing{false};

// False with errno set when the details could not be read.
bool ReadDetails(int dirFd, const char* name, DirEntry& entry) {
    if (!gStatxMissing.load(std::memory_order_relaxed)) {
        struct statx sx {};
        const unsigned mask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME | STATX_BTIME;
        if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, mask, &sx) == 0) {
            entry.kind = KindOfMode(sx.stx_mode);
            entry.mode = sx.stx_mode & 07777;
            entry.size = static_cast<std::int64_t>(sx.stx_size);
            entry.modifiedNs = ToNs(sx.stx_mtime);
            entry.createdNs = (sx.stx_mask & STATX_BTIME) ? ToNs(sx.stx_btime) : entry.modifiedNs;
            return true;
        }
        if (errno != ENOSYS && errno != EPERM)
            return false;
        gStatxMissing.store(true, std::memory_order_relaxed);
    }
    struct stat st {};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    entry.kind = KindOfMode(st.st_mode);
    entry.mode = st.st_mode & 07777;
    entry.size = static_cast<std::int64_t>(st.st_size);
    entry.modifiedNs = ToNs(st.st_mtim);
    entry.createdNs = entry.modifiedNs;
    return true;
}

std::uint32_t AttributesOf(const DirEntry& entry) {
    std::uint32_t attributes = 0;
    switch (entry.kind) {
    case EntryKind::File:
        attributes |= kAttrArchive;
        break;
    case EntryKind::Folder:
        attributes |= kAttrDirectory;
        break;
    case EntryKind::SymLink:
        attributes |= kAttrReparsePoint;
        break;
    case EntryKind::Other:
        attributes |= kAttrSystem;
        break;
    }
    if (!entry.name.empty() && entry.name.front() == '.')
        attributes |= kAttrHidden;
    if (entry.timesKnown && (entry.mode & S_IWUSR) == 0)
        attributes |= kAttrReadOnly;
    return attributes;
}

} // namespace

int ListFolder(const std::string& folder, const DirEntryVisitor& visit) {
    // A path longer than one call takes is opened relative to its parent.
    FolderNames names(posix::OpenFolder(folder, O_RDONLY));
    if (!names.IsOpen())
        return errno != 0 ? errno : EIO;
    int failure = 0;
    for (;;) {
        unsigned char type = DT_UNKNOWN;
        const char* name = names.Next(type);
        if (!name) {
            if (failure == 0)
                failure = names.Error();
            break;
        }
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        DirEntry entry;
        entry.name = name;
        entry.timesKnown = ReadDetails(names.Fd(), name, entry);
        if (!entry.timesKnown) {
            // An entry removed since the folder was read is simply gone; any other failure is not.
            if (errno != ENOENT && failure == 0)
                failure = errno != 0 ? errno : EIO;
            entry.kind = KindOfDirentType(type);
        }
        // Folders report no size of their own, as on the file systems the engines were built for.
        if (entry.kind == EntryKind::Folder)
            entry.size = 0;
        entry.attributes = AttributesOf(entry);
        if (!visit(entry))
            break;
    }
    return failure;
}

std::string ListErrorText(int error) { return std::strerror(error); }

std::int64_t RegularFileSize(const std::string& path) {
    if (path.empty())
        return 0;
    const posix::PathAt at(path);
    struct stat st {};
    if (!at.ok() || ::fstatat(at.dir(), at.name(), &st, 0) != 0 || !S_ISREG(st.st_mode))
        return 0;
    return static_cast<std::int64_t>(st.st_size);
}

} // namespace os
