#pragma once

#include "profiles/engine_thread.h"
#include "profiles/enums.h"
#include "util/worker_pacing.h"
#include "zip/zip_placement.h"
#include "zip/zip_settings.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <set>
#include <string>
#include <vector>

class TLumo_Zip;
class TTaskQueue;
class TZipWriter;

// Lets the task queue start archive backups (StartZip of the profile's task object).
void RegisterZipEngine(TTaskQueue& queue);

// One run of an archive backup: before-scripts, the archive written under a
// temporary name in the target folder, the finished archive (and its
// segments) put in the target's place, versions recorded and rotated,
// after-scripts, and the outcome left in the task object. A failed or stopped
// run leaves the previous archive, its segments, the version list and the
// version index as they were.
class TZipThread : public TEngineThread {
public:
    // Takes a copy of the task object's settings; call on the main thread.
    explicit TZipThread(TLumo_Zip& zip);
    ~TZipThread() override;

    void AbortTask() override;

protected:
    void run() override { Execute(); }

private:
    // The settings of the run, copied when the run starts.
    struct TRunSettings {
        QString Folder;
        QString DiskStorageID;
        QString DiskSourceID;
        bool CanUseDriveSourceID = false;
        QString Filename;
        TZipVersion FVType = TZipVersion::zvNone;
        int FVLastIndex = 0;
        int Compression = 7;
        QString Password; // stored form
        QStringList ExcludeList;
        std::vector<TZipElement> Elements;
        // The archives this profile keeps, never taken into a new one.
        QStringList VersionFiles;
        bool SpanningEnabled = false;
        int SpanningSizeValue = 1900;
    };
    // What the run leaves for the main thread to take over.
    struct TRunOutcome {
        TLumo_Error Error = TLumo_Error::feNone;
        QString RealFolder;
        bool Placed = false;
        QString Target;
        int FVLastIndex = 0;
        // Paths and causes behind Error, for the run's error text.
        QStringList Details;
    };
    // The masks of the items that can be reached, in the user's order.
    struct TSources {
        QStringList Masks;
        TLumo_Error Error = TLumo_Error::feNone;
        // The sources behind Error, each with the system's reason where there is one.
        QStringList Details;
    };

    void Execute();
    void ShowOperation(TLumo_Operation operation, bool clearProgress);
    void WriteArchive(TRunOutcome& outcome);
    TSources CollectSources() const;
    void ConfigureWriter(TZipWriter& writer, const QString& tempFile, const QString& target, const TSources& sources,
                         bool split);
    void PlaceArchive(TRunOutcome& outcome, const QString& folder, const QString& tempBase, bool split) const;
    void CommitSuccess(const TRunOutcome& outcome);
    void Finish(const TRunOutcome& outcome);

    void OnProgress(double progress, bool& cancel);
    bool Aborted() const;

    TLumo_Zip& fZipThread;
    TLumo_Operation fNewStatus = TLumo_Operation::fsNone;
    TRunSettings fSettings;

    TProgressPacer fProgressPacer;

    // What the writer reported it could not take (path and cause), in the order met.
    TLeftOutFiles fLeftOut;
};
