#include "util/drives.h"

#include "os/volumes.h"
#include "util/native_path.h"

QString MountPointOf(const QString& path) { return PathFromNative(os::MountPointOf(PathToNative(path))); }

QString DriveIDOf(const QString& path) { return QString::fromStdString(os::DriveIDOf(PathToNative(path))); }

QString RebindPathToDrive(const QString& path, const QString& id) {
    return PathFromNative(os::RebindPathToDrive(PathToNative(path), id.toStdString()));
}

bool IsDriveReady(const QString& path) { return os::IsDriveReady(PathToNative(path)); }
