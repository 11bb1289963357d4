#include "util/trash.h"

#include "os/trash.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

bool MoveToTrash(const QString& path, QString* pathInTrash) {
    if (path.isEmpty())
        return false;
    // Without an existing data folder Qt would build a Trash below the working folder.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome))
        return false;
    QString landed;
    if (!QFile::moveToTrash(path, &landed))
        return false;
    if (QDir::isRelativePath(landed)) {
        // It went to a "Trash" of the working folder, not the user's: put it back.
        QFile::rename(landed, path);
        return false;
    }
    if (pathInTrash)
        *pathInTrash = landed;
    return true;
}

void EmptyRecycleBin() { os::EmptyTrash(); }
