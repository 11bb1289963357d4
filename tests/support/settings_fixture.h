#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A Backup.ini written the way a user's file looks after years of use:
// profiles of all three kinds, each with scripts, exclusions, versions or
// subfolder states and a schedule entry, in CR LF with a byte-order mark.
struct TSettingsFixture {
    QByteArray Bytes;
    QStringList SyncUIDs, ZipUIDs, FolderZipUIDs;
    QStringList CronUIDs;
    int ProfileCount() const { return SyncUIDs.size() + ZipUIDs.size() + FolderZipUIDs.size(); }
};

// total profiles split evenly over the three kinds (sync gets the rest).
TSettingsFixture MakeSettingsFixture(int total);
