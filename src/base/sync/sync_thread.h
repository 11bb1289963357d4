#pragma once

#include "profiles/engine_thread.h"
#include "profiles/enums.h"
#include "sync/sync_analysis.h"
#include "sync/sync_copy.h"
#include "sync/sync_run_state.h"

#include <atomic>
#include <memory>

class TEngineServices;
class TLumo_BackupProfile;
class TLumo_Sync;
class TLumo_MegaScan;
class TSyncUiBatch;

// The worker of one sync run: before-scripts, analysis of every folder pair,
// then (unless analysis only) copying and deleting, the after-scripts and the
// end routine on the main thread. It works on its own copy of the settings
// and its own results, and hands those to the task object by value in its
// calls on the main thread; result entries go to the result list as copies.
class TSyncThread : public TEngineThread {
    Q_OBJECT
public:
    // Takes a copy of the task object's settings and script lists; call on the main thread.
    TSyncThread(TLumo_Sync& task, bool onlyScan);
    ~TSyncThread() override;

    void AbortTask() override;

protected:
    void run() override { Execute(); }

private:
    void Execute();
    void PublishStatus(TLumo_Operation status);
    void PublishProgress();

    void ResolvePairs();
    void ScanPairs(const TSyncExclusions& exclusions);
    bool RootsOverlapAnywhere();
    void ScanPair(TPairScan& scan, const TSyncExclusions& exclusions);
    void TakeScanFindings(const TLumo_ScanListing& listing, const QString& otherRoot, bool storageSide);
    void Compare();
    void CopyPhase();
    void CopyFolderEntry(TRunItem& item);
    void CopyFileEntry(TRunItem& item);
    void DeletionPhase();
    void DeleteToTrash();
    void DeleteForGoodPhase();
    void VerifyDeletions(bool deleteNow);
    void EndOfRun();
    void EndRoutine();
    bool Aborted() const { return fAbortIt.load(std::memory_order_relaxed); }
    // Hands a listed entry back to the main thread for release and forgets it.
    void DropDone(TRunItem& item);
    // Keeps the cause of a failed copy for the run's error text; after the
    // first few the rest are left to the rows, which stay listed with their error.
    void NoteCopyProblem(const QString& why);

    // The task object, the profile and the context: main thread only (inside RunOnMainThread).
    TLumo_Sync& fTask;
    TLumo_BackupProfile& fProfile;
    TEngineServices& fContext;
    // The run's settings and results; the worker's alone.
    TSyncRunState fSyncThread;
    TLumo_Operation fNewStatus = TLumo_Operation::fsNone;
    quint8 fProgress = 0;
    quint8 fProgressFull = 0;
    std::atomic<bool> fAbortIt{false};
    bool fOnlyScan;
    TSyncFileElement* fNowElement = nullptr;
    // The scanners of the two sides of a pair, which are listed at the same time.
    std::unique_ptr<TLumo_MegaScan> fMegaScan;
    std::unique_ptr<TLumo_MegaScan> fStorageScan;

    // Run data: the listings of the analysis, then what is to copy and delete.
    std::vector<TPairScan> fScans;
    TRunList fSourceList;
    TRunList fStorageList;
    std::unique_ptr<TSyncUiBatch> fBatch;
    TWrittenObjects fWritten;
    bool fRecordWritten = true;
    // The storage folder the files being copied go into, held open while
    // the files of one folder follow each other.
    QString fEnsuredFolder;
    os::HeldFolder fTargetFolder;
    qsizetype fCopyProblems = 0;
    // What the analysis must leave alone, and the texts naming why.
    TKeptTrees fKeptSource;
    TKeptTrees fKeptStorage;
    QStringList fProblems;
};

// Registers the sync engine's start routine with the context's task queue.
class TTaskQueue;
void RegisterSyncEngine(TTaskQueue& queue);
