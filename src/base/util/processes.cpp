#include "util/processes.h"

#include "os/processes.h"

#include <QDir>

QString ProcessImagePath(qint64 pid) {
    return QString::fromStdString(os::ProcessImagePath(static_cast<int>(pid)));
}

bool IsAppRunning(const QString& fullPath) {
    const QString wanted = QDir::cleanPath(fullPath);
    if (wanted.isEmpty())
        return false;
    bool found = false;
    os::ForEachProcess([&](const os::ProcessInfo& process) {
        found = !process.imagePath.empty() &&
                QString::fromStdString(process.imagePath).compare(wanted, Qt::CaseInsensitive) == 0;
        return !found;
    });
    return found;
}

bool IsProcessRunning(const QString& imageName) {
    if (imageName.isEmpty())
        return false;
    bool found = false;
    os::ForEachProcess([&](const os::ProcessInfo& process) {
        found = QString::fromStdString(process.imageName).compare(imageName, Qt::CaseInsensitive) == 0;
        return !found;
    });
    return found;
}
