#include "profiles/drive_binding.h"

#include "util/path_delim.h"

#include <QSet>

QString VolumeOfPath(const QString& path) {
    if (!path.startsWith(kPathDelim))
        return {};
    const qsizetype next = path.indexOf(kPathDelim, 1);
    if (next == 1)
        return QString(kPathDelim);
    return next < 0 ? path : path.left(next);
}

bool PathsOnOneVolume(const QStringList& paths, const TVolumeOf& volumeOf) {
    QSet<QString> volumes;
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        const QString volume = volumeOf(path);
        if (!volume.isEmpty())
            volumes.insert(volume);
    }
    return volumes.size() < 2;
}
