#pragma once

// Folder chains deeper than one system call accepts as a path, made and
// removed by descending with openat, since tools that work with whole paths
// (QDir, QTemporaryDir) cannot reach their bottom.

#include <QFile>
#include <QString>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// Makes depth nested folders named name below root (the chain's top first);
// returns the chain's path relative to root, or an empty text on failure.
inline QString MakeDeepChain(const QString& root, const std::string& name, int depth) {
    int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY);
    QString sub;
    for (int i = 0; i < depth && fd >= 0; ++i) {
        if (::mkdirat(fd, name.c_str(), 0755) != 0) {
            ::close(fd);
            return {};
        }
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        sub += QString::fromStdString(name) + (i + 1 < depth ? "/" : "");
    }
    if (fd < 0)
        return {};
    ::close(fd);
    return sub;
}

// Removes everything inside the folder open as fd (which stays open).
inline void RemoveContentAt(int fd) {
    const int listing = ::dup(fd);
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (child >= 0) {
                ::fchmod(child, 0755);
                RemoveContentAt(child);
                ::close(child);
            }
            ::unlinkat(fd, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(fd, name.c_str(), 0);
        }
    }
    ::closedir(dir);
}

// Empties the folder at path however deep its content goes.
inline void RemoveDeepContent(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    RemoveContentAt(fd);
    ::close(fd);
}

// Opens the folder root/sub (sub relative, "/"-separated, empty for root
// itself) by descending one name at a time; -1 when a part is missing.
inline int OpenDeepFolder(const QString& root, const std::string& sub) {
    int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY);
    for (std::size_t at = 0; fd >= 0 && at < sub.size();) {
        std::size_t end = sub.find('/', at);
        if (end == std::string::npos)
            end = sub.size();
        const std::string name = sub.substr(at, end - at);
        at = end + 1;
        if (name.empty())
            continue;
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        ::close(fd);
        fd = next;
    }
    return fd;
}

// The folder part and the last name of a relative path.
inline std::pair<std::string, std::string> SplitDeepPath(const std::string& sub) {
    const std::size_t slash = sub.rfind('/');
    if (slash == std::string::npos)
        return {std::string(), sub};
    return {sub.substr(0, slash), sub.substr(slash + 1)};
}

// Writes bytes to the file root/sub (its folder must exist), whatever its depth.
inline bool WriteDeepFile(const QString& root, const std::string& sub, const std::string& bytes,
                          mode_t mode = 0644) {
    const auto [folder, name] = SplitDeepPath(sub);
    const int dir = OpenDeepFolder(root, folder);
    if (dir < 0)
        return false;
    const int fd = ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, mode);
    ::close(dir);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && written;
}

// Makes the folder root/sub (its parent must exist).
inline bool MakeDeepFolder(const QString& root, const std::string& sub) {
    const auto [folder, name] = SplitDeepPath(sub);
    const int dir = OpenDeepFolder(root, folder);
    if (dir < 0)
        return false;
    const bool made = ::mkdirat(dir, name.c_str(), 0755) == 0;
    ::close(dir);
    return made;
}

// Makes root/sub a symbolic link to target.
inline bool MakeDeepLink(const QString& root, const std::string& sub, const std::string& target) {
    const auto [folder, name] = SplitDeepPath(sub);
    const int dir = OpenDeepFolder(root, folder);
    if (dir < 0)
        return false;
    const bool made = ::symlinkat(target.c_str(), dir, name.c_str()) == 0;
    ::close(dir);
    return made;
}

// Removes root/sub: a file or link, or a folder with everything in it.
inline bool RemoveDeepEntry(const QString& root, const std::string& sub) {
    const auto [folder, name] = SplitDeepPath(sub);
    const int dir = OpenDeepFolder(root, folder);
    if (dir < 0)
        return false;
    struct stat st {};
    bool removed = false;
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode)) {
            const int child = ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (child >= 0) {
                RemoveContentAt(child);
                ::close(child);
            }
            removed = ::unlinkat(dir, name.c_str(), AT_REMOVEDIR) == 0;
        } else {
            removed = ::unlinkat(dir, name.c_str(), 0) == 0;
        }
    }
    ::close(dir);
    return removed;
}

namespace deep_tree_detail {

inline void ListInto(int fd, const std::string& prefix, std::map<std::string, std::string>& out) {
    const int listing = ::dup(fd);
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        out[prefix + "<unlisted>"] = "?";
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : names) {
        const std::string path = prefix + name;
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            out[path] = "?";
        } else if (S_ISDIR(st.st_mode)) {
            out[path] = "folder";
            const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (child >= 0) {
                ListInto(child, path + "/", out);
                ::close(child);
            }
        } else if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlinkat(fd, name.c_str(), target, sizeof target);
            out[path] = "link " + std::string(target, n > 0 ? static_cast<std::size_t>(n) : 0);
        } else {
            std::string content = "file " + std::to_string(st.st_mtim.tv_sec) + "." +
                                  std::to_string(st.st_mtim.tv_nsec) + " ";
            const int file = ::openat(fd, name.c_str(), O_RDONLY | O_NOFOLLOW);
            char buffer[4096];
            for (ssize_t n; file >= 0 && (n = ::read(file, buffer, sizeof buffer)) > 0;)
                content.append(buffer, static_cast<std::size_t>(n));
            if (file >= 0)
                ::close(file);
            out[path] = content;
        }
    }
}

} // namespace deep_tree_detail

// Every entry below root at any depth, by relative path: "folder", "link "
// + its target, or "file " + last-write time + " " + content. A tree too
// deep for diff -r, which names each entry by its whole path, is compared
// with this.
inline std::map<std::string, std::string> DeepListing(const QString& root) {
    std::map<std::string, std::string> out;
    const int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return out;
    deep_tree_detail::ListInto(fd, std::string(), out);
    ::close(fd);
    return out;
}
