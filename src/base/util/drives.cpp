#include "util/drives.h"

#include "os/volumes.h"

QString MountPointOf(const QString& path) { return QString::fromStdString(os::MountPointOf(path.toStdString())); }

QString DriveIDOf(const QString& path) { return QString::fromStdString(os::DriveIDOf(path.toStdString())); }

QString RebindPathToDrive(const QString& path, const QString& id) {
    return QString::fromStdString(os::RebindPathToDrive(path.toStdString(), id.toStdString()));
}

bool IsDriveReady(const QString& path) { return os::IsDriveReady(path.toStdString()); }
