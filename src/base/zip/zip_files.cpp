#include "zip/zip_files.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

fs::path NativePath(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }

} // namespace

bool PathTaken(const QString& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(NativePath(path), error));
}

void RemoveFileQuietly(const QString& path) {
    std::error_code error;
    const fs::path native = NativePath(path);
    if (!fs::is_directory(fs::symlink_status(native, error)))
        fs::remove(native, error);
}

bool ReplaceFile(const QString& from, const QString& to) {
    std::error_code error;
    const fs::path target = NativePath(to);
    // rename would replace an empty folder of that name: a folder is never an old archive.
    if (fs::is_directory(fs::symlink_status(target, error)))
        return false;
    fs::rename(NativePath(from), target, error);
    return !error;
}

bool TargetReplaceable(const QString& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(NativePath(path), error);
    if (error || !fs::exists(status))
        return true;
    if (fs::is_directory(status))
        return false;
    if (fs::is_symlink(status))
        return true;
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}
