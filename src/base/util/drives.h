#pragma once

#include <QString>

// A volume is named by the mount point that holds a path and identified by
// its drive identifier ("1A2B:3C4D": the serial of FAT, exFAT and NTFS
// volumes as Windows shows it, else the start of the file system UUID).

// The mount point of the volume holding path; empty for a relative path.
QString MountPointOf(const QString& path);

// The drive identifier of the volume holding path; empty when it has none.
QString DriveIDOf(const QString& path);

// The path to use for a folder configured on the volume with identifier id:
// the path itself while its volume has that identifier, otherwise the same
// folder below the mount point of the mounted volume that has it. Empty when
// no mounted volume has the identifier (the disk is missing), id is empty or
// the path is not absolute.
QString RebindPathToDrive(const QString& path, const QString& id);

// True when path is absolute and its volume is mounted with a readable root.
bool IsDriveReady(const QString& path);
