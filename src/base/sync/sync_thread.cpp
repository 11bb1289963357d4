#include "sync/sync_thread.h"

#include "profiles/backup_profile.h"
#include "profiles/engine_events.h"
#include "profiles/engine_services.h"
#include "profiles/task_queue.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "sync/sync_ui_batch.h"
#include "util/drives.h"
#include "util/main_thread.h"
#include "util/mega_scan.h"
#include "util/path_delim.h"
#include "util/trash.h"

#include "lang/language.h"
#include "profiles/task_texts.h"
#include "util/text_format.h"

#include <algorithm>
#include <set>
#include <thread>

namespace {

constexpr qint64 kMiB = 1048576;

QString AnalysisResultText(const TSyncRunResults& counts) {
    QString text = LngText(Lng::lng_Global_SyncAnalysisResult);
    text = FillPlaceholder(text, QLatin1StringView("%d"), QString::number(counts.fResultAllNewFiles));
    text = FillPlaceholder(text, QLatin1StringView("%s"), SizeToText(counts.fResultAllNewFilesSize));
    text = FillPlaceholder(text, QLatin1StringView("%d"), QString::number(counts.fResultToDeleteFiles));
    text = FillPlaceholder(text, QLatin1StringView("%s"), SizeToText(counts.fResultToDeleteFilesSize));
    return text;
}

} // namespace

TSyncThread::TSyncThread(TLumo_Sync& task, bool onlyScan)
    : TEngineThread(task.Profile()), fTask(task), fProfile(*task.Profile()), fContext(task.Profile()->Context()),
      fOnlyScan(onlyScan), fMegaScan(std::make_unique<TLumo_MegaScan>()),
      fStorageScan(std::make_unique<TLumo_MegaScan>()) {
    static_cast<TSyncRunSettings&>(fSyncThread) = static_cast<const TSyncRunSettings&>(task);
}

TSyncThread::~TSyncThread() = default;

void TSyncThread::AbortTask() {
    fAbortIt = true;
    fMegaScan->AbortIt = true;
    fStorageScan->AbortIt = true;
    // A real error the run already handed over stays: the stop must not hide
    // it (one not handed over yet replaces the stop's when it comes).
    if (fTask.fLastError == TLumo_Error::feNone)
        fTask.fLastError = TLumo_Error::feCanceledByUser;
    StopScripts();
    fTask.fProgress = 0;
    fTask.fProgressFull = 0;
    fTask.fSyncStatus = TLumo_Operation::fsNone;
}

void TSyncThread::PublishStatus(TLumo_Operation status) {
    fNewStatus = status;
    fBatch->Flush();
    RunOnMainThread([this, status, results = fSyncThread.Results()] {
        fTask.TakeRunResults(results);
        fTask.SetSyncStatus(status);
    });
}

void TSyncThread::PublishProgress() {
    ApplyWantedPriority();
    fBatch->Progress(fProgress, fProgressFull, fNowElement);
}

void TSyncThread::Execute() {
    fBatch = std::make_unique<TSyncUiBatch>(fTask);
    ApplyWantedPriority();
    RunOnMainThread([this] {
        fProfile.SetStatus(TTaskStatus::tsRun);
        if (fTask.fErrorAttempts > 1)
            fTask.fErrorAttempts = 0;
    });

    RunOnMainThread([this] {
        if (fContext.AppClosing)
            return;
        emit fContext.Events().resultRowsCleared(fTask.UID());
        fTask.fResultElements.Clear();
    });
    RunOnMainThread([this] {
        fTask.ResetStat();
        fTask.fResultText.clear();
    });

    PublishStatus(TLumo_Operation::fsScriptBefore);
    if (!Aborted() && !fOnlyScan)
        RunProfileScripts(true);
    PublishStatus(TLumo_Operation::fsAnalys);

    ResolvePairs();
    const TSyncExclusions exclusions = SplitExclusions(fSyncThread.fExcludeList, fAbortIt);
    ScanPairs(exclusions);
    if (!Aborted())
        Compare();

    if (!fOnlyScan && !Aborted())
        CopyPhase();
    if (!fOnlyScan && !Aborted())
        DeletionPhase();
    EndOfRun();
}

void TSyncThread::ResolvePairs() {
    TSyncRunState& task = fSyncThread;
    for (TSyncElement& pair : task.fElementList) {
        pair.fRealSource = task.fCanUseDriveSourceID && !task.fDiskSourceID.isEmpty()
                               ? RebindPathToDrive(pair.SourceFolder(), task.fDiskSourceID)
                               : pair.SourceFolder();
        pair.fRealStorage = task.fCanUseDriveStorageID && !task.fDiskStorageID.isEmpty()
                                ? RebindPathToDrive(pair.StorageFolder(), task.fDiskStorageID)
                                : pair.StorageFolder();
    }
}

// A source inside its storage (or the reverse) would have the run delete or
// copy its own output; such a profile does not run at all.
bool TSyncThread::RootsOverlapAnywhere() {
    for (const TSyncElement& pair : fSyncThread.fElementList)
        if (!pair.fRealSource.isEmpty() && !pair.fRealStorage.isEmpty() &&
            RootsOverlap(pair.fRealSource, pair.fRealStorage))
            fProblems << pair.fRealSource + QStringLiteral(" <-> ") + pair.fRealStorage;
    if (fProblems.isEmpty())
        return false;
    for (TSyncElement& pair : fSyncThread.fElementList)
        pair.fSkipIt = true;
    fSyncThread.fLastError = TLumo_Error::feOverlappingFolders;
    return true;
}

void TSyncThread::ScanPairs(const TSyncExclusions& exclusions) {
    TSyncRunState& task = fSyncThread;
    if (RootsOverlapAnywhere())
        return;
    std::set<QString> present, missing;
    // Each volume is asked at most once per run.
    auto driveReady = [&](const QString& folder) {
        const QString volume = MountPointOf(folder);
        if (volume.isEmpty() || missing.count(volume))
            return false;
        if (present.count(volume))
            return true;
        const bool ready = IsDriveReady(folder);
        (ready ? present : missing).insert(volume);
        return ready;
    };

    qint32 ordinal = -1;
    for (TSyncElement& pair : task.fElementList) {
        if (Aborted())
            break;
        TLumo_Error error = TLumo_Error::feNone;
        if (pair.fRealSource.isEmpty() || pair.fRealStorage.isEmpty()) {
            error = TLumo_Error::feSourceElements;
            fProblems << QStringLiteral("\"%1\" -> \"%2\"").arg(pair.SourceFolder(), pair.StorageFolder());
        } else {
            ++ordinal;
            if (!driveReady(pair.fRealSource) || !driveReady(pair.fRealStorage)) {
                error = TLumo_Error::feNoDisk;
                fProblems << (driveReady(pair.fRealSource) ? pair.fRealStorage : pair.fRealSource);
            } else if (QString why; !EntryExists(pair.fRealSource, true, &why)) {
                error = TLumo_Error::feSourceFilesFolder;
                fProblems << (why.isEmpty() ? pair.fRealSource : why);
            } else if (RootExcludedByOwnPath(pair.fRealSource, exclusions.Fragments) ||
                     RootExcludedByOwnPath(pair.fRealStorage, exclusions.Fragments)) {
                error = TLumo_Error::feRootExcluded;
                fProblems << pair.fRealSource;
            }
        }
        if (error != TLumo_Error::feNone) {
            pair.fSkipIt = true;
            task.fLastError = error;
            continue;
        }
        pair.fSkipIt = false;
        TPairScan& scan = fScans.emplace_back();
        scan.pair = &pair;
        scan.listIndex = ordinal;
        scan.sourceRoot = pair.fRealSource;
        scan.storageRoot = pair.fRealStorage;
        ScanPair(scan, exclusions);
        TakeScanFindings(scan.source, pair.fRealStorage, false);
        TakeScanFindings(scan.storage, pair.fRealSource, true);
        scan.source.Failures.clear();
        scan.source.Leftovers.clear();
        scan.storage.Failures.clear();
        scan.storage.Leftovers.clear();
    }
}

void TSyncThread::ScanPair(TPairScan& scan, const TSyncExclusions& exclusions) {
    TSyncRunState& task = fSyncThread;
    qint64 limit = 0;
    if (task.fSkipBigFiles) {
        task.fBigFileSize = std::min(task.fBigFileSize, TLumo_Sync::kMaxBigFileSize);
        limit = static_cast<qint64>(task.fBigFileSize) * kMiB;
    }
    const bool skipHidden = task.fSkipHiddenSystem;
    {
        // The storage side is listed on a second thread while this one lists
        // the source: on separate disks both wait for their own, on one disk
        // the two listings still overlap their system calls.
        std::jthread storageSide([&] {
            // The storage listing also finds the temporary files a stopped run left there.
            fStorageScan->LeftoverPrefix = QString::fromLatin1(kSyncTempPrefix);
            fStorageScan->ListTree(scan.storageRoot, exclusions.Masks, exclusions.Fragments, limit, skipHidden,
                                   scan.storage);
        });
        fMegaScan->ListTree(scan.sourceRoot, exclusions.Masks, exclusions.Fragments, limit, skipHidden, scan.source);
    }
    if (Aborted()) {
        scan.source.Clear();
        scan.storage.Clear();
    }
}

void TSyncThread::TakeScanFindings(const TLumo_ScanListing& listing, const QString& otherRoot, bool storageSide) {
    KeepCounterpartsOfFailures(listing.Failures, otherRoot, storageSide ? fKeptSource : fKeptStorage, fProblems);
    if (!listing.Failures.empty())
        fSyncThread.fLastError = TLumo_Error::feFolderNotListed;
    if (!fOnlyScan && !listing.Leftovers.isEmpty() && !Aborted()) {
        const qsizetype before = fProblems.size();
        RemoveLeftovers(listing.Leftovers, fProblems);
        if (fProblems.size() != before)
            fSyncThread.fLastError = TLumo_Error::feDelete;
    }
}

void TSyncThread::Compare() {
    TSyncRunState& task = fSyncThread;
    // The end of the update batch goes out whenever its begin did, closing or not.
    bool begun = false;
    RunOnMainThread([this, &begun] {
        begun = !fContext.AppClosing;
        if (begun)
            emit fContext.Events().resultUpdateBegun(fTask.UID());
    });
    KeepNestedStorages(task.fElementList, fKeptStorage);
    CompareScans(fScans, fKeptSource, fKeptStorage, task.fCheckDateAndSize, fAbortIt, fSourceList, fStorageList,
                 [this](TRunItem& item) {
                     fNowElement = item.element;
                     fBatch->AddResult(*item.element);
                 });
    fNowElement = nullptr;
    // Only what is to copy or delete stays for the rest of the run.
    std::vector<TPairScan>().swap(fScans);

    qint64 deleteCount = 0, deleteSize = 0;
    if (!Aborted()) {
        task.fResultToDeleteFilesSize = 0;
        for (TRunItem& item : fStorageList) {
            item.element->Status = TLumo_FileStatus::flsToDelete;
            ++deleteCount;
            deleteSize += item.element->Size;
            fBatch->AddResult(*item.element);
        }
        task.fResultToDeleteFiles = deleteCount;
        task.fResultToDeleteFilesSize = deleteSize;
    }

    qint64 newCount = 0, newSize = 0, modifiedCount = 0, modifiedSize = 0;
    for (const TRunItem& item : fSourceList) {
        if (item.element->Status == TLumo_FileStatus::flsModified) {
            ++modifiedCount;
            modifiedSize += item.element->Size;
        } else if (item.element->Status == TLumo_FileStatus::flsNew) {
            ++newCount;
            newSize += item.element->Size;
        }
    }
    fBatch->Flush();
    RunOnMainThread([this, begun] {
        if (begun)
            emit fContext.Events().resultUpdateEnded(fTask.UID());
    });
    if (Aborted())
        return;
    task.fResultAllNewFilesSize = newSize + modifiedSize;
    task.fResultAllNewFiles = newCount + modifiedCount;
    // The texts come from the language tables, which the main thread may switch.
    QString text;
    RunOnMainThread([&text, counts = task.Results()] { text = AnalysisResultText(counts); });
    task.fResultText = text;
}

void TSyncThread::NoteCopyProblem(const QString& why) {
    constexpr qsizetype kCopyProblemsKept = 10;
    if (fCopyProblems++ < kCopyProblemsKept)
        fProblems << why;
}

void TSyncThread::DropDone(TRunItem& item) {
    fNowElement = item.element;
    fBatch->RemoveRow(*item.element);
    item.element = nullptr;
    fNowElement = nullptr;
}

void TSyncThread::CopyPhase() {
    PublishStatus(TLumo_Operation::fsCopy);
    // Only the deletion phase asks what was written: a run with nothing to
    // delete records nothing (a first run over a million files would keep a
    // million of them and examine every folder once more).
    fRecordWritten = !fStorageList.empty();
    for (TRunItem& item : fSourceList) {
        if (Aborted())
            break;
        if (item.element->IsFolder)
            CopyFolderEntry(item);
        else
            CopyFileEntry(item);
    }
    fTargetFolder = os::HeldFolder();
    fEnsuredFolder.clear();
    if (Aborted())
        return;
    // What is left failed: it stays listed with its error.
    bool failed = false;
    for (const TRunItem& item : fSourceList)
        failed = failed || item.element != nullptr;
    std::erase_if(fSourceList, [](const TRunItem& item) { return item.element == nullptr; });
    if (failed)
        fSyncThread.fLastError = TLumo_Error::feCopy;
}

void TSyncThread::CopyFolderEntry(TRunItem& item) {
    TSyncFileElement& s = *item.element;
    const QString target = s.SyncEl->fRealStorage + s.SepPath;
    s.Status = TLumo_FileStatus::flsOk;
    if (!EntryExists(target, true)) {
        // A link (or file) at this path is replaced by the folder, so that
        // nothing below is written through it; source folders come before
        // their content, so a link higher up is gone before anything below.
        os::HeldFolder made;
        s.Error = !ClearWayForFolder(target, fSyncThread.fDelToRecycle) ||
                  !CreateFolderPath(s.SyncEl->fRealStorage, s.SepPath, &made);
        if (s.Error) {
            NoteCopyProblem(target + QStringLiteral(": ") +
                            (made.errorText().empty() ? QStringLiteral("an entry in the way could not be removed")
                                                      : QString::fromStdString(made.errorText())));
            fBatch->RefreshRow(s);
            return;
        }
        if (!CopyFolderTimes(s.FullPath(), target)) {
            // The folder exists now, so its row leaves the list; the run still reports the failure.
            s.Status = TLumo_FileStatus::flsModified;
            s.Error = true;
            fSyncThread.fLastError = TLumo_Error::feCopy;
        }
    }
    if (fRecordWritten)
        fWritten.Add(target);
    DropDone(item);
}

void TSyncThread::CopyFileEntry(TRunItem& item) {
    TSyncFileElement& s = *item.element;
    TSyncRunState& task = fSyncThread;
    const QString target = s.SyncEl->fRealStorage + s.SepPath;
    const QString folder = target.left(target.lastIndexOf(kPathDelim) + 1);
    // Files of one folder follow each other in scan order: its existence is checked once.
    if (folder != fEnsuredFolder) {
        fEnsuredFolder.clear();
        if (!CreateFolderPath(s.SyncEl->fRealStorage, folder.mid(s.SyncEl->fRealStorage.size()), &fTargetFolder)) {
            NoteCopyProblem(folder + QStringLiteral(": ") + QString::fromStdString(fTargetFolder.errorText()));
            s.Error = true;
            fBatch->RefreshRow(s);
            return;
        }
        fEnsuredFolder = folder;
        // Another pair may list this folder as stale; it now holds what this run writes.
        if (fRecordWritten)
            fWritten.Add(folder);
    }
    const TLumo_FileStatus kept = s.Status;
    s.Status = TLumo_FileStatus::flsActive;
    fNowElement = &s;
    fBatch->RefreshRow(s);

    QString why;
    const TCopyOutcome outcome = CopyOneFileInto(
        fTargetFolder, s.FullPath(), target, s.Size, fAbortIt,
        [this](quint8 percent) {
            fProgress = percent;
            PublishProgress();
        },
        fRecordWritten ? &fWritten : nullptr, &why);
    if (!why.isEmpty())
        NoteCopyProblem(why);
    fProgress = 0;
    PublishProgress();
    s.Error = outcome != TCopyOutcome::Copied;
    s.Status = kept;

    task.fResultAllNewCopied += s.Size;
    fProgressFull = PercentOf(task.fResultAllNewCopied, task.fResultAllNewFilesSize);
    PublishProgress();
    if (s.Error)
        fBatch->RefreshRow(s);
    else {
        s.Status = TLumo_FileStatus::flsOk;
        DropDone(item);
    }
    fNowElement = nullptr;
}

void TSyncThread::DeletionPhase() {
    PublishStatus(TLumo_Operation::fsDelete);
    // An entry that names an object this run has just written (a rename that
    // changed only letter case on a volume that ignores case) is not deleted.
    if (!fWritten.empty()) {
        for (TRunItem& item : fStorageList)
            if (fWritten.Contains(item.element->FullPath()))
                DropDone(item);
        std::erase_if(fStorageList, [](const TRunItem& item) { return item.element == nullptr; });
    }
    if (fSyncThread.fDelToRecycle)
        DeleteToTrash();
    else
        DeleteForGoodPhase();
}

void TSyncThread::DeleteToTrash() {
    QStringList folders, files;
    for (const TRunItem& item : fStorageList)
        (item.element->IsFolder ? folders : files) << item.element->FullPath();
    if (!Aborted()) {
        for (const QString& path : OutermostPaths(folders, files, fAbortIt)) {
            if (Aborted())
                break;
            QString why;
            if (!MoveEntryToTrash(path, &why)) {
                fSyncThread.fLastError = TLumo_Error::feDelete;
                fProblems << why;
            }
        }
    }
    VerifyDeletions(false);
}

void TSyncThread::DeleteForGoodPhase() { VerifyDeletions(true); }

void TSyncThread::VerifyDeletions(bool deleteNow) {
    const qint64 n = static_cast<qint64>(fStorageList.size());
    qint64 k = 0;
    for (auto it = fStorageList.rbegin(); it != fStorageList.rend(); ++it) {
        if (Aborted())
            break;
        ++k;
        fProgress = 0;
        fProgressFull = PercentOf(k, n);
        PublishProgress();
        TSyncFileElement& t = *it->element;
        const QString path = t.FullPath();
        QString why;
        t.Error = deleteNow ? !DeleteForGood(path, t.IsFolder, &why) : !EntryGone(path, t.IsFolder, &why);
        if (!why.isEmpty())
            fProblems << why;
        if (t.Error) {
            fSyncThread.fLastError = TLumo_Error::feDelete;
            fBatch->RefreshRow(t);
        } else {
            fNowElement = &t;
            fBatch->RemoveRow(t);
            it->element = nullptr;
        }
        fNowElement = nullptr;
    }
    std::erase_if(fStorageList, [](const TRunItem& item) { return item.element == nullptr; });
}

void TSyncThread::EndOfRun() {
    TSyncRunState& task = fSyncThread;
    fBatch->Flush();
    if (Aborted()) {
        // A stopped run leaves no statistics, but a real error it had stays.
        TSyncRunResults kept;
        kept.fLastError = task.fLastError;
        static_cast<TSyncRunResults&>(task) = kept;
        RunOnMainThread([this, error = task.fLastError] {
            fTask.ResetStat();
            fTask.fLastError = error;
        });
    } else if (!fOnlyScan) {
        RunOnMainThread([this] {
            fTask.fLastActive = Now();
            fContext.Saver().AddNewTask(TSaveSetType::stProfile, fTask.UID());
        });
    }
    if (!fProblems.isEmpty())
        RunOnMainThread([this, detail = fProblems.join(QStringLiteral("; "))] { fTask.fLastErrorDetail = detail; });
    // Only the findings go: AbortTask may still reach the scanner during the
    // after-scripts, so the scanner itself lives as long as this worker.
    fMegaScan->CleanResult();
    fScans.clear();
    fSourceList.clear();
    fStorageList.clear();

    fProgress = 0;
    fProgressFull = 0;
    fNowElement = nullptr;
    PublishStatus(fNewStatus);
    PublishProgress();
    fBatch->Flush();

    if (!fOnlyScan) {
        const QString keptText = task.fResultText;
        task.fResultText.clear();
        PublishStatus(TLumo_Operation::fsScriptAfter);
        if (!Aborted()) {
            RunProfileScripts(false);
            task.fResultText = keptText;
        }
    }
    fBatch->Flush();
    RunOnMainThread([this, results = task.Results(), pairs = task.fElementList] {
        fTask.TakeRunResults(results);
        // The resolved folders and skip marks of this run; the pairs cannot
        // have changed meanwhile, as a busy profile takes no new settings.
        if (pairs.size() == fTask.fElementList.size()) {
            for (std::size_t i = 0; i < pairs.size(); ++i) {
                fTask.fElementList[i].fRealSource = pairs[i].fRealSource;
                fTask.fElementList[i].fRealStorage = pairs[i].fRealStorage;
                fTask.fElementList[i].fSkipIt = pairs[i].fSkipIt;
            }
        }
        if (!fContext.AppClosing)
            fTask.SetSyncStatus(TLumo_Operation::fsNone);
        if (!fContext.TaskQueue().IsEmpty())
            EndRoutine();
    });
}

void TSyncThread::EndRoutine() {
    TLumo_Sync& task = fTask;
    TTaskQueue& queue = fContext.TaskQueue();
    if (Aborted()) {
        // A stopped run is no failure: the stop's own error goes and the
        // automatic retry does not count it.
        if (task.fLastError == TLumo_Error::feCanceledByUser) {
            task.fLastError = TLumo_Error::feNone;
            task.fLastErrorDetail.clear();
        }
    } else if (task.fLastError != TLumo_Error::feNone) {
        ++task.fErrorAttempts;
    }
    task.UpdateLastActive();
    // Reset before Finished: its retry rule may queue the profile again, and
    // that queued state must stay.
    task.fProgress = 0;
    task.fProgressFull = 0;
    task.SetSyncStatus(TLumo_Operation::fsNone);
    queue.CurrentRunEnded();
    task.UpdateNode();
}

void RegisterSyncEngine(TTaskQueue& queue) {
    queue.SetEngineStart(TBackupClass::bcSync, [](TBackupTask& task) { task.Profile().Task().StartRun(task); });
}
