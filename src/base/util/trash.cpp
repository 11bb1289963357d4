#include "util/trash.h"

#include "os/trash.h"
#include "util/native_path.h"

#include <QDir>

bool MoveToTrash(const QString& path, QString* pathInTrash, QString* why) {
    if (path.isEmpty()) {
        if (why)
            *why = QStringLiteral("no path given");
        return false;
    }
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    std::string landed, error;
    if (!os::MoveToTrash(PathToNative(absolute), landed, error)) {
        if (why)
            *why = QString::fromUtf8(error);
        return false;
    }
    if (pathInTrash)
        *pathInTrash = PathFromNative(landed);
    return true;
}

void EmptyRecycleBin() { os::EmptyTrash(); }
