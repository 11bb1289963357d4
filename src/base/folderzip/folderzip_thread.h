#pragma once

#include "profiles/engine_thread.h"
#include "folderzip/folderzip_scan.h"
#include "profiles/enums.h"
#include "util/worker_pacing.h"
#include "util/mega_scan.h"
#include "zip/zip_placement.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>
#include <vector>

class TLumo_FolderZip;
class TTaskQueue;
class TZipWriter;
struct TFolderZipElement;

// Lets the task queue start folder archiving runs (StartZip of the profile's task object).
void RegisterFolderZipEngine(TTaskQueue& queue);

// One run of a folder archiving job: before-scripts, the subfolders of the
// source listed and measured, every changed (or forced) one archived under a
// temporary name in the storage folder and put in the place of its previous
// archive only when complete, vanished subfolders dropped, the storage folder
// cleaned when asked, after-scripts. A stopped or failed archive leaves the
// previous one with all its segments as it was. An analysis-only run changes
// nothing on disk.
class TFolderZipThread : public TEngineThread {
public:
    // Takes a copy of the task object's settings; call on the main thread.
    TFolderZipThread(TLumo_FolderZip& folderZip, bool onlyScan, std::optional<QStringList> extSettings);
    ~TFolderZipThread() override;

    void AbortTask() override;

protected:
    void run() override { Execute(); }

private:
    struct TRunSettings {
        QString SourceFolder;
        QString StorageFolder;
        QString DiskSourceID;
        QString DiskStorageID;
        int Compression = 7;
        QString Password; // stored form
        QStringList ExcludeList;
        QStringList FolderExcludeUpper;
        bool CleanFolder = false;
        bool CleanFolderToTrash = true;
        bool SpanningEnabled = false;
        int SpanningSizeValue = 1900;
    };
    // One subfolder the run archives. Element is touched on the main thread only.
    struct TArchiveJob {
        TFolderZipElement* Element = nullptr;
        QString Name;
        TSubfolderState State;
        bool Found = false;
    };
    // What one archive attempt ended with.
    struct TArchiveResult {
        bool Placed = false;   // a new archive took the subfolder's name
        bool Done = false;     // and it is complete: the subfolder counts as archived
        bool Vanished = false; // the subfolder is gone
        int SpanCount = 0;
    };
    struct TRunOutcome {
        TLumo_Error Error = TLumo_Error::feNone;
        QStringList Details;
        QString RealSource;
        QString RealStorage;
        bool AnyFailed = false;
        bool StatesChanged = false;

        void Fail(TLumo_Error error, const QString& detail = QString());
    };

    void Execute();
    bool ResolveFolders(TRunOutcome& outcome);
    void ScanAndPlan(TRunOutcome& outcome, std::vector<TArchiveJob>& toArchive,
                     std::vector<TFolderZipElement*>& toRemove);
    void ArchiveAll(TRunOutcome& outcome, std::vector<TArchiveJob>& jobs);
    TArchiveResult ArchiveOne(TRunOutcome& outcome, const TArchiveJob& job);
    bool WriteTemporary(TRunOutcome& outcome, const TArchiveJob& job, const QString& tempFile,
                        const QString& target);
    void RemoveVanished(TRunOutcome& outcome, const std::vector<TFolderZipElement*>& toRemove);
    void CleanStorage(TRunOutcome& outcome);
    void Finish(TRunOutcome& outcome);

    void ShowOperation(TLumo_Operation operation);
    void OnProgress(double progress, bool& cancel);
    bool Aborted() const;

    TLumo_FolderZip& fFolderZipThread;
    TLumo_Operation fNewStatus = TLumo_Operation::fsNone;
    const bool fOnlyScan;
    const std::optional<QStringList> fExtSettings;
    TLumo_MegaScan fMS;
    TRunSettings fSettings;
    TLeftOutFiles fLeftOut;

    int fArchiveIndex = 0;
    int fArchiveCount = 0;
    TProgressPacer fProgressPacer;
};
