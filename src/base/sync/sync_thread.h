#pragma once

#include "app/engine_thread.h"
#include "profiles/enums.h"
#include "scripts/script_thread.h"
#include "sync/sync_analysis.h"
#include "sync/sync_copy.h"

#include <atomic>
#include <memory>

class TLumo_Sync;
class TLumo_MegaScan;
class TSyncUiBatch;

// The worker of one sync run: before-scripts, analysis of every folder pair,
// then (unless analysis only) copying and deleting, the after-scripts and the
// end routine on the main thread.
class TSyncThread : public TEngineThread {
    Q_OBJECT
public:
    TSyncThread(TLumo_Sync& task, bool onlyScan);
    ~TSyncThread() override;

    void AbortTask() override;
    void SetLowPriority(bool low) override;

protected:
    void run() override { Execute(); }

private:
    void Execute();
    void PublishStatus(TLumo_Operation status);
    void PublishProgress();
    void RunProfileScripts(bool before);

    void ResolvePairs();
    void ScanPairs(const TSyncExclusions& exclusions);
    bool RootsOverlapAnywhere();
    void ScanFolder(const QString& folder, TRunList& list, const TSyncExclusions& exclusions, TSyncElement& pair,
                    qint32 listIndex);
    void TakeScanFindings(const QString& otherRoot, bool storageSide);
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

    TLumo_Sync& fSyncThread;
    TLumo_Operation fNewStatus = TLumo_Operation::fsNone;
    quint8 fProgress = 0;
    quint8 fProgressFull = 0;
    std::atomic<bool> fAbortIt{false};
    bool fOnlyScan;
    TSyncFileElement* fNowElement = nullptr;
    TScriptThreadSlot fScriptSlot;
    std::unique_ptr<TLumo_MegaScan> fMegaScan;
    std::atomic<int> fWantedPriority{-1};

    // Run data.
    TRunList fSourceList;
    TRunList fStorageList;
    std::unique_ptr<TSyncUiBatch> fBatch;
    TWrittenObjects fWritten;
    QString fEnsuredFolder;
    // What the analysis must leave alone, and the texts naming why.
    TKeptTrees fKeptSource;
    TKeptTrees fKeptStorage;
    QStringList fProblems;
};

// Registers the sync engine's start routine with the context's task queue.
class TTaskQueue;
void RegisterSyncEngine(TTaskQueue& queue);
