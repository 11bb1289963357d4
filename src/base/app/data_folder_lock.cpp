#include "app/data_folder_lock.h"

#include <QDir>

TDataFolderLock::State TDataFolderLock::TryTake(const QString& dataFolder) {
    fError.clear();
    if (!QDir().mkpath(dataFolder)) {
        fError = dataFolder + QStringLiteral(": the folder cannot be made");
        return State::Unavailable;
    }
    std::string error;
    switch (fLock.TryLock(QDir(dataFolder).filePath(LockFileName()).toStdString(), error)) {
    case os::FileLock::Result::Taken: return State::Taken;
    case os::FileLock::Result::Held: return State::Held;
    case os::FileLock::Result::Failed: break;
    }
    fError = QString::fromStdString(error);
    return State::Unavailable;
}
