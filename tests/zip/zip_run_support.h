#pragma once

// Runs archive backups end to end in a sandbox: source files, a profile, the
// task queue with the archive engine, and the archives checked with tools
// nobody here wrote (Python's zipfile, unzip, Info-ZIP zip).

#include "zip/zip_task.h"

#include "../sync/kind_test_support.h"

#include <QString>
#include <QStringList>

#include <functional>

bool HasTool(const QString& name);

struct ArchiveListing {
    bool ok = false;     // opened, and every entry read back with a matching CRC
    QString message;     // what went wrong otherwise
    QStringList names;   // stored names, sorted
};
// Reads the archive with Python's zipfile; needs python3.
ArchiveListing ListArchive(const QString& path, const QString& password = QString());
// Exit status of "unzip -t -qq".
int UnzipTest(const QString& path);
// Joins a split archive into one file with Info-ZIP zip ("zip -s 0"); true on success.
bool JoinSplitArchive(const QString& lastSegment, const QString& joined);

// Bytes that deflate hardly shrinks.
QByteArray RandomBytes(qsizetype size, unsigned seed);

class ZipRunTest : public KindTest {
protected:
    ZipRunTest();

    // A profile with the source folder as its one item, writing into Target().
    TLumo_Zip& MakeZip(const QString& fileTemplate = QStringLiteral("Backup.zip"),
                       const std::function<void(TZip_Settings&)>& adjust = {});
    // Queues a normal run and serves the main thread until the queue is empty.
    void Run(TLumo_Zip& zip);
    // The same, calling whileRunning on every turn of the loop.
    void RunServing(TLumo_Zip& zip, const std::function<void()>& whileRunning);
    // Runs the save pass and reads the versions stored for the profile.
    TFileVersionList StoredVersions(const TLumo_Zip& zip);

    QString Source() const { return sandbox.path() + "/src/"; }
    QString Target() const { return sandbox.path() + "/out/"; }

    // The clock the profiles made by MakeZip see.
    TDateTime now = EncodeDate(2024, 3, 5) + EncodeTime(10, 0, 0, 0);
};
