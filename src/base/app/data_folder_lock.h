#pragma once

#include "os/file_lock.h"

#include <QString>

// One writer per data folder: whoever loads settings that it will write holds
// "Backup.lock" in the data folder for as long as it runs.
class TDataFolderLock {
public:
    enum class State { Taken, Held, Unavailable };

    // Makes the data folder when missing and tries to take the lock without
    // waiting. Unavailable: the folder or the lock file cannot be made; error
    // says why. No one else can write the settings there either, then.
    State TryTake(const QString& dataFolder);
    bool IsTaken() const { return fLock.IsLocked(); }
    const QString& ErrorText() const { return fError; }

    static QString LockFileName() { return QStringLiteral("Backup.lock"); }

private:
    os::FileLock fLock;
    QString fError;
};
