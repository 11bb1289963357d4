#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Names the volume that holds a path; empty when the path belongs to none that
// can be bound (such a path is left out of the comparison).
using TVolumeOf = std::function<QString(const QString& path)>;

// The volume key used by the task objects: the root plus the first component
// of an absolute path ("/media/usb/x/" -> "/media", "/" -> "/"); empty for a
// path that is not absolute. The platform layer's mount-point lookup replaces
// this rule behind the same signature.
QString VolumeOfPath(const QString& path);

// A drive ID can be applied to a set of folders only when they do not span two
// volumes: true when the non-empty paths name fewer than two distinct volumes.
bool PathsOnOneVolume(const QStringList& paths, const TVolumeOf& volumeOf);
