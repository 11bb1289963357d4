#pragma once

// Runs folder archiving profiles end to end in a sandbox: a source tree of
// subfolders with fixed times, a profile, the task queue with the engine, and
// the archives checked with tools nobody here wrote (unzip, 7-Zip, Python's
// zipfile) against the source.

#include "folderzip/folderzip_task.h"

#include "../sync/kind_test_support.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class FolderZipRunTest : public KindTest {
protected:
    FolderZipRunTest();

    // A profile archiving Source() into Storage().
    TLumo_FolderZip& MakeProfile(const std::function<void(TFolderZip_Settings&)>& adjust = {});
    // Queues a run (forced for list when given) and serves the main thread
    // until the queue is empty, calling whileRunning on every turn.
    void Run(TLumo_FolderZip& fz, bool onlyScan = false, const std::optional<QStringList>& list = std::nullopt,
             const std::function<void()>& whileRunning = {});

    QString Source() const { return sandbox.path() + "/src/"; }
    QString Storage() const { return sandbox.path() + "/out/"; }
    // Writes a file below Source().
    void WriteSource(const QString& relative, const QByteArray& bytes) const;
    // Sets every file and folder below Source() (and Source() itself) to the
    // fixed time 2024-01-02 03:04:05 local time.
    void AgeSourceTree() const;

    // Identity of the file at path (device and inode); a new archive that
    // took the name has another one. Empty when there is no file.
    QString FileIdentity(const QString& path) const;
    // FileIdentity of each Storage()/name.zip.
    QStringList Identities(const QStringList& names) const;

    // Extracts the archive with unzip, 7-Zip and Python's zipfile in turn and
    // compares each extraction with Source()/name (diff -r). Empty when all
    // match; otherwise what differed. Tools that are missing are skipped. A
    // split set is read by 7-Zip alone (the others do not read split sets).
    QString CheckArchive(const QString& name, const QString& password = QString(), bool splitSet = false) const;

    // The section of the profile's states in the saved Backup.ini, as
    // "key=value" lines in file order.
    QStringList StoredStates(const TLumo_FolderZip& fz);
};
