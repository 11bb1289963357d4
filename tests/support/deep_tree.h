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

#include <string>

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
