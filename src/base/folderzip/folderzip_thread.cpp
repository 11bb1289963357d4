#include "folderzip/folderzip_thread.h"

#include "profiles/engine_services.h"
#include "profiles/task_queue.h"
#include "archive/writer_leftovers.h"
#include "archive/zip_writer.h"
#include "folderzip/folderzip_task.h"
#include "lang/language.h"
#include "os/dir_listing.h"
#include "os/file_ops.h"
#include "profiles/backup_profile.h"
#include "settings/save_settings.h"
#include "sync/sync_analysis.h"
#include "util/drives.h"
#include "util/main_thread.h"
#include "util/native_path.h"
#include "util/path_delim.h"
#include "util/string_lists.h"
#include "util/trash.h"
#include "zip/zip_files.h"
#include "zip/zip_names.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

const QString kZipExt = QStringLiteral(".zip");

QString Quoted(const QString& path) { return QLatin1Char('\'') + path + QLatin1Char('\''); }

// The segments present beside the archive named base in folder: base.z01, base.z02, ...
int CountSegments(const QString& folder, const QString& base) {
    int k = 0;
    while (PathTaken(folder + base + SplitVolumeSuffix(k + 1)))
        ++k;
    return k;
}

} // namespace

void RegisterFolderZipEngine(TTaskQueue& queue) {
    queue.SetEngineStart(TBackupClass::bcFolderZip, [](TBackupTask& task) { task.Profile().Task().StartRun(task); });
}

void TLumo_FolderZip::StartZip(bool nOnlyScan, const std::optional<QStringList>& extSettings) {
    if (!fLumoBackup)
        return;
    TBackupTask* head = fLumoBackup->Context().TaskQueue().First();
    if (!head)
        return;
    fLastError = TLumo_Error::feNone;
    fLastErrorDetail.clear();
    fAbortZip = head->AbortRequested();
    fProgress = 0;
    auto thread = std::make_unique<TFolderZipThread>(*this, nOnlyScan, extSettings);
    TFolderZipThread& worker = *thread;
    head->SetThread(std::move(thread));
    worker.start();
}

void TFolderZipThread::TRunOutcome::Fail(TLumo_Error error, const QString& detail) {
    Error = error;
    if (!detail.isEmpty())
        Details << detail;
}

TFolderZipThread::TFolderZipThread(TLumo_FolderZip& folderZip, bool onlyScan, std::optional<QStringList> extSettings)
    : TEngineThread(folderZip.Profile()), fFolderZipThread(folderZip), fOnlyScan(onlyScan),
      fExtSettings(extSettings ? std::optional<QStringList>(UpperCased(*extSettings)) : std::nullopt) {
    fSettings.SourceFolder = folderZip.fSourceFolder;
    fSettings.StorageFolder = folderZip.fStorageFolder;
    fSettings.DiskSourceID = folderZip.fDiskSourceID;
    fSettings.DiskStorageID = folderZip.fDiskStorageID;
    fSettings.Compression = folderZip.fCompression;
    fSettings.Password = folderZip.fPassword;
    fSettings.ExcludeList = folderZip.fExcludeList;
    fSettings.FolderExcludeUpper = UpperCased(folderZip.fFolderExcludeList);
    fSettings.CleanFolder = folderZip.fCleanFolder;
    fSettings.CleanFolderToTrash = folderZip.fCleanFolderToTrash;
    fSettings.SpanningEnabled = folderZip.fSpanningEnabled;
    fSettings.SpanningSizeValue = folderZip.fSpanningSizeValue;
}

TFolderZipThread::~TFolderZipThread() { wait(); }

bool TFolderZipThread::Aborted() const { return fFolderZipThread.fAbortZip; }

void TFolderZipThread::AbortTask() {
    fFolderZipThread.fAbortZip = true;
    fMS.AbortIt = true;
    StopScripts();
    fFolderZipThread.fProgress = 0;
    fFolderZipThread.fProgressFull = 0;
    fFolderZipThread.fOperation = TLumo_Operation::fsNone;
}

void TFolderZipThread::Execute() {
    ApplyWantedPriority();
    RunOnMainThread([this] {
        TLumo_FolderZip& fz = fFolderZipThread;
        fz.fResultText.clear();
        fz.fLastOnlyScan = fOnlyScan;
        fz.fLastScanUpdated = 0;
        fz.fProgress = 0;
        fz.fProgressFull = 0;
        fz.fProgressFullCount = 1;
        fz.fProgressFullIndex = 1;
        fz.fCurrentElement = nullptr;
    });
    ShowOperation(TLumo_Operation::fsScriptBefore);
    if (!Aborted() && !fOnlyScan)
        RunProfileScripts(true);

    TRunOutcome outcome;
    if (!Aborted() && ResolveFolders(outcome)) {
        std::vector<TArchiveJob> toArchive;
        std::vector<TFolderZipElement*> toRemove;
        ScanAndPlan(outcome, toArchive, toRemove);
        if (fOnlyScan) {
            RunOnMainThread([this] { fFolderZipThread.RebuildText(); });
        } else if (!Aborted()) {
            ArchiveAll(outcome, toArchive);
            RemoveVanished(outcome, toRemove);
            if (fSettings.CleanFolder && !Aborted() && outcome.Error != TLumo_Error::feFolderCreate)
                CleanStorage(outcome);
        }
    }
    Finish(outcome);
}

bool TFolderZipThread::ResolveFolders(TRunOutcome& outcome) {
    const QString source = WithTrailingDelim(fSettings.DiskSourceID.isEmpty()
                                                 ? fSettings.SourceFolder
                                                 : RebindPathToDrive(fSettings.SourceFolder, fSettings.DiskSourceID));
    const QString storage =
        WithTrailingDelim(fSettings.DiskStorageID.isEmpty()
                              ? fSettings.StorageFolder
                              : RebindPathToDrive(fSettings.StorageFolder, fSettings.DiskStorageID));
    outcome.RealSource = source;
    outcome.RealStorage = storage;
    if (source.isEmpty() || !IsDriveReady(source) || storage.isEmpty() || !IsDriveReady(storage)) {
        outcome.Fail(TLumo_Error::feNoDisk);
        return false;
    }
    if (!QFileInfo(source).isDir()) {
        outcome.Fail(TLumo_Error::feNoZipFolder, Quoted(source));
        return false;
    }
    // With one folder inside the other, the archives would become data of
    // the next archive, or the cleaning would take the user's subfolders.
    if (source == storage || RootsOverlap(source, storage)) {
        outcome.Fail(TLumo_Error::feOverlappingFolders, Quoted(source) + QStringLiteral(" / ") + Quoted(storage));
        return false;
    }
    return true;
}

void TFolderZipThread::ScanAndPlan(TRunOutcome& outcome, std::vector<TArchiveJob>& toArchive,
                                   std::vector<TFolderZipElement*>& toRemove) {
    const TSourceScan listed =
        ScanSubfolders(fMS, outcome.RealSource, fSettings.FolderExcludeUpper, fExtSettings, fSettings.ExcludeList);
    if (!listed.Error.isEmpty())
        outcome.Fail(TLumo_Error::feFolderNotListed, listed.Error);
    if (listed.Stopped || Aborted())
        return;
    // Subfolders are told apart ignoring letter case (their archives would
    // too on many file systems); a second one of the same name is not
    // archived, and the run says so rather than leaving it out unnoticed.
    TSourceScan scan;
    scan.Error = listed.Error;
    QSet<QString> seen;
    for (const TSubfolderState& state : listed.Folders) {
        if (seen.contains(state.Name.toUpper())) {
            outcome.Fail(TLumo_Error::feArchiving,
                         Quoted(outcome.RealSource + state.Name) + QStringLiteral(": ") +
                             LngText(Lng::lng_Global_ErrStSameNameButCase));
            outcome.AnyFailed = true;
            continue;
        }
        seen.insert(state.Name.toUpper());
        scan.Folders.push_back(state);
    }

    RunOnMainThread([&] {
        TLumo_FolderZip& fz = fFolderZipThread;
        fz.fRealSource = outcome.RealSource;
        fz.fRealStorage = outcome.RealStorage;
        fz.GetItems(scan, fExtSettings);
        const auto stateOf = [&scan](const QString& name) -> const TSubfolderState* {
            for (const TSubfolderState& state : scan.Folders)
                if (state.Name.compare(name, Qt::CaseInsensitive) == 0)
                    return &state;
            return nullptr;
        };
        const auto addJob = [&](TFolderZipElement* element) {
            TArchiveJob job;
            job.Element = element;
            job.Name = element->pFolder;
            if (const TSubfolderState* state = stateOf(element->pFolder)) {
                job.State = *state;
                job.Found = true;
            }
            toArchive.push_back(std::move(job));
        };
        if (fExtSettings) {
            for (const QString& name : *fExtSettings)
                if (TFolderZipElement* element = fz.FindElement(name))
                    if (std::none_of(toArchive.begin(), toArchive.end(),
                                     [element](const TArchiveJob& job) { return job.Element == element; }))
                        addJob(element);
        } else {
            for (const auto& element : fz.fElements) {
                if (element->pZipState == TLumo_FileStatus::flsModified)
                    addJob(element.get());
                else if (element->pZipState == TLumo_FileStatus::flsToDelete)
                    toRemove.push_back(element.get());
            }
        }
        fz.fProgressFullCount = static_cast<int>(toArchive.size());
        fz.fLastScanUpdated = static_cast<int>(toArchive.size());
        fz.fProgressFullIndex = 1;
    });
}

void TFolderZipThread::ArchiveAll(TRunOutcome& outcome, std::vector<TArchiveJob>& jobs) {
    if (jobs.empty())
        return;
    const QString& storage = outcome.RealStorage;
    if (!QFileInfo(storage).isDir())
        os::MakeFolders(PathToNative(storage));
    if (!QFileInfo(storage).isDir()) {
        outcome.Fail(TLumo_Error::feFolderCreate, Quoted(storage));
        return;
    }
    // A swap of segment sets cut off by a kill is finished or undone before
    // anything else, as its files may hold the only whole archive.
    std::string leftoverError;
    if (!archive::RemoveWriterLeftovers(PathToNative(storage), leftoverError)) {
        outcome.Fail(TLumo_Error::feArchiving, QString::fromUtf8(leftoverError));
        outcome.AnyFailed = true;
        return;
    }
    RemoveRunLeftovers(storage);

    fArchiveCount = static_cast<int>(jobs.size());
    for (std::size_t i = 0; i < jobs.size() && !Aborted(); ++i) {
        const TArchiveJob& job = jobs[i];
        fArchiveIndex = static_cast<int>(i) + 1;
        const TArchiveResult result = ArchiveOne(outcome, job);
        if (result.Placed)
            outcome.StatesChanged = true;
        const bool stopped = Aborted();
        RunOnMainThread([&, this] {
            TLumo_FolderZip& fz = fFolderZipThread;
            TFolderZipElement& e = *job.Element;
            fz.fProgressFullIndex = fArchiveIndex + 1;
            e.pOperation = TLumo_Operation::fsNone;
            e.pProgress = 0;
            if (result.Vanished) {
                e.pError = true;
                e.pZipState = TLumo_FileStatus::flsToDelete;
            } else if (result.Done && !stopped) {
                e.pDateModified = job.State.Newest;
                e.pFileCount = job.State.FileCount;
                e.pTotalSize = job.State.TotalSize;
                e.pZipState = TLumo_FileStatus::flsOk;
                e.pError = false;
            } else {
                e.pError = true;
            }
            if (result.Placed)
                e.pSpanCount = result.SpanCount;
            fz.UpdateRows({&e});
        });
    }
    RunOnMainThread([this] { fFolderZipThread.fCurrentElement = nullptr; });
}

TFolderZipThread::TArchiveResult TFolderZipThread::ArchiveOne(TRunOutcome& outcome, const TArchiveJob& job) {
    TArchiveResult result;
    const QString& source = outcome.RealSource;
    const QString& storage = outcome.RealStorage;
    if (!job.Found || !QFileInfo(source + job.Name).isDir()) {
        // Gone since the listing: dropped by the next run, not an error.
        result.Vanished = true;
        return result;
    }
    if (!job.State.Error.isEmpty()) {
        // What cannot be read is not known: the previous archive stays.
        outcome.Fail(TLumo_Error::feFolderNotListed, job.State.Error);
        outcome.AnyFailed = true;
        return result;
    }
    const QString target = storage + job.Name + kZipExt;
    if (!ArchiveNameFits(job.Name + kZipExt)) {
        outcome.Fail(TLumo_Error::feArchiveNameTooLong, job.Name + kZipExt);
        outcome.AnyFailed = true;
        return result;
    }

    RunOnMainThread([&, this] {
        TLumo_FolderZip& fz = fFolderZipThread;
        fz.fCurrentElement = job.Element;
        job.Element->pOperation = TLumo_Operation::fsZip;
        job.Element->pZipState = TLumo_FileStatus::flsActive;
        job.Element->pProgress = 0;
        fz.UpdateRows({job.Element});
    });
    ShowOperation(TLumo_Operation::fsZip);

    const bool split = fSettings.SpanningEnabled;
    const QString tempBase = FreeTempBase(storage);
    const QString tempFile = storage + tempBase + kZipExt;
    if (!WriteTemporary(outcome, job, tempFile, target) || Aborted()) {
        DiscardTemporary(storage, tempBase, split);
        outcome.AnyFailed = true;
        return result;
    }
    if (!fLeftOut.Texts().isEmpty()) {
        outcome.Fail(TLumo_Error::feLeftOut);
        outcome.Details << fLeftOut.Texts();
        outcome.AnyFailed = true;
        // An archive that lacks files never replaces one that may hold them;
        // as the first archive of the subfolder it is better than none.
        if (PathTaken(target)) {
            DiscardTemporary(storage, tempBase, split);
            return result;
        }
    }
    QString cause;
    if (!PlaceArchive(storage, tempBase, target, split, cause)) {
        outcome.Fail(TLumo_Error::feDeleteTarget, cause.isEmpty() ? Quoted(target) : cause);
        outcome.AnyFailed = true;
        return result;
    }
    result.Placed = true;
    result.Done = fLeftOut.Texts().isEmpty();
    result.SpanCount = split ? CountSegments(storage, ArchiveBaseName(target)) : 0;
    return result;
}

bool TFolderZipThread::WriteTemporary(TRunOutcome& outcome, const TArchiveJob& job, const QString& tempFile,
                                      const QString& target) {
    const QString& storage = outcome.RealStorage;
    const bool split = fSettings.SpanningEnabled;
    fLeftOut.Clear();
    fProgressPacer.Reset();
    try {
        TZipWriter writer;
        TArchiveWriterSetup setup;
        setup.TempFile = tempFile;
        setup.Compression = fSettings.Compression;
        setup.StoredPassword = fSettings.Password;
        setup.ExcludeList = fSettings.ExcludeList;
        setup.ExtraExcludes << storage + kRunTempBasePrefix + QStringLiteral("*") << target;
        setup.Split = split;
        setup.SpanSizeMiB = fSettings.SpanningSizeValue;
        setup.Stop = &fFolderZipThread.fAbortZip;
        ConfigureArchiveWriter(writer, setup, fLeftOut);
        // Every entry lies below a top folder of the subfolder's own name.
        writer.SetBaseDir(PathToNative(outcome.RealSource));
        writer.FileMasks().clear();
        writer.FileMasks().push_back(PathToNative(outcome.RealSource + job.Name + kPathDelim + QStringLiteral("*.*")));
        writer.OnFileProgress = [this](TZipWriterBase&, const std::string&, double, TZWProcessOperation,
                                       TZWProgressPhase, bool& cancel) { cancel = Aborted(); };
        writer.OnOverallProgress = [this](TZipWriterBase&, double progress, TZWProcessOperation, TZWProgressPhase,
                                          bool& cancel) { OnProgress(progress, cancel); };
        if (split)
            DeleteSplitVolumes(QFileInfo(tempFile).completeBaseName(), storage);
        writer.OpenArchive(TZWOpenMode::omCreate);
        writer.AddFiles();
        writer.SetInMemory(false);
        writer.CloseArchive();
        fLeftOut.AddWritersOwn(writer);
    } catch (const std::exception& error) {
        if (!Aborted())
            outcome.Fail(TLumo_Error::feArchiving, Quoted(job.Name) + QStringLiteral(": ") +
                                                       QString::fromUtf8(error.what()));
        return false;
    } catch (...) {
        if (!Aborted())
            outcome.Fail(TLumo_Error::feArchiving, Quoted(job.Name));
        return false;
    }
    return true;
}

void TFolderZipThread::RemoveVanished(TRunOutcome& outcome, const std::vector<TFolderZipElement*>& toRemove) {
    if (toRemove.empty())
        return;
    outcome.StatesChanged = true;
    RunOnMainThread([&, this] {
        auto& elements = fFolderZipThread.fElements;
        fFolderZipThread.RemoveRows(toRemove);
        for (TFolderZipElement* gone : toRemove)
            std::erase_if(elements, [gone](const auto& element) { return element.get() == gone; });
        fFolderZipThread.fCurrentElement = nullptr;
    });
}

void TFolderZipThread::CleanStorage(TRunOutcome& outcome) {
    const QString& storage = outcome.RealStorage;
    if (!QFileInfo(storage).isDir())
        return;
    // The files of a segment swap cut off by a kill may hold the only whole
    // archive: the swap is finished or undone first, and nothing is cleaned
    // while that cannot be done.
    std::string leftoverError;
    if (!archive::RemoveWriterLeftovers(PathToNative(storage), leftoverError)) {
        outcome.Fail(TLumo_Error::feCleanFolder, QString::fromUtf8(leftoverError));
        return;
    }
    QSet<QString> keep;
    RunOnMainThread([&, this] {
        for (const auto& element : fFolderZipThread.fElements) {
            if (element->pZipState == TLumo_FileStatus::flsToDelete)
                continue;
            keep.insert((element->pFolder + kZipExt).toUpper());
            if (fSettings.SpanningEnabled)
                for (int k = 1; k <= element->pSpanCount; ++k)
                    keep.insert((element->pFolder + SplitVolumeSuffix(k)).toUpper());
        }
    });
    ShowOperation(TLumo_Operation::fsDelete);

    QStringList names;
    const int listError = os::ListFolder(PathToNative(storage), [&](const os::DirEntry& entry) {
        const QString name = PathFromNative(entry.name);
        if (!keep.contains(name.toUpper()))
            names << name;
        return true;
    });
    if (listError != 0) {
        // What was not seen is not removed either: only the entries listed go.
        outcome.Fail(TLumo_Error::feCleanFolder,
                     Quoted(storage) + QStringLiteral(": ") + QString::fromStdString(os::ListErrorText(listError)));
    }
    for (const QString& name : names) {
        if (Aborted())
            return;
        const QString path = storage + name;
        QString why;
        bool removed = false;
        if (fSettings.CleanFolderToTrash) {
            removed = MoveToTrash(path, nullptr, &why);
        } else {
            // A link is removed itself, never what it points to.
            const std::string native = PathToNative(path);
            removed = QFileInfo(path).isDir() && !QFileInfo(path).isSymLink() ? os::RemoveTree(native)
                                                                              : os::RemoveFile(native);
        }
        if (!removed && PathTaken(path))
            outcome.Fail(TLumo_Error::feCleanFolder, why.isEmpty() ? Quoted(path) : Quoted(path) + ": " + why);
    }
}

void TFolderZipThread::ShowOperation(TLumo_Operation operation) {
    fNewStatus = operation;
    RunOnMainThread([this] { fFolderZipThread.SetOperationState(fNewStatus); });
}

void TFolderZipThread::OnProgress(double progress, bool& cancel) {
    cancel = Aborted();
    ApplyWantedPriority();
    if (cancel)
        return;
    const int percent = fProgressPacer.Next(progress);
    if (percent < 0)
        return;
    if (!QCoreApplication::instance())
        return;
    const int count = std::max(fArchiveCount, 1);
    const int full = std::min(100, static_cast<int>(std::lround((fArchiveIndex * 100.0 + percent - 100.0) /
                                                                (count * 100.0) * 100.0)));
    // Not waited for: the worker goes on compressing. Posted calls run in
    // order, so all of them have run before the end routine's call.
    TLumo_FolderZip* fz = &fFolderZipThread;
    PostToMainThread([fz, percent, full] {
        if (fz->fAbortZip)
            return;
        fz->fProgress = static_cast<quint8>(percent);
        fz->fProgressFull = static_cast<quint8>(std::max(0, full));
        if (fz->fCurrentElement) {
            fz->fCurrentElement->pProgress = static_cast<quint8>(percent);
            fz->UpdateRows({fz->fCurrentElement});
        }
        fz->UpdateProgress();
    });
}

void TFolderZipThread::Finish(TRunOutcome& outcome) {
    if (outcome.AnyFailed && outcome.Error == TLumo_Error::feNone)
        outcome.Error = TLumo_Error::feArchiving;
    fNewStatus = TLumo_Operation::fsScriptAfter;
    RunOnMainThread([this, &outcome] {
        TLumo_FolderZip& fz = fFolderZipThread;
        if (!outcome.RealSource.isEmpty())
            fz.fRealSource = outcome.RealSource;
        if (!outcome.RealStorage.isEmpty())
            fz.fRealStorage = outcome.RealStorage;
        fz.fCurrentElement = nullptr;
        fz.fProgress = 0;
        fz.fProgressFull = 0;
        fz.fResultText.clear();
        const bool success = !fz.fAbortZip && outcome.Error == TLumo_Error::feNone;
        if (!fOnlyScan) {
            TSaveSettings* saver = fz.Profile() ? &fz.Profile()->Context().Saver() : nullptr;
            if (success)
                fz.fLastActive = Now();
            // The states follow the archives on disk even after a run with an
            // error, so that a program that ends before the next save does not
            // archive again what is already in place.
            if (saver && (success || outcome.StatesChanged))
                saver->AddNewTask(TSaveSetType::stZipFileversion, fz.fUID);
            if (saver && success)
                saver->AddNewTask(TSaveSetType::stProfile, fz.fUID);
        }
        fz.SetOperationState(fNewStatus);
    });
    if (!Aborted() && !fOnlyScan)
        RunProfileScripts(false);
    fNewStatus = TLumo_Operation::fsNone;
    RunOnMainThread([this, &outcome] {
        TLumo_FolderZip& fz = fFolderZipThread;
        // A stop wins over whatever the run recorded.
        fz.fLastError = fz.fAbortZip ? TLumo_Error::feCanceledByUser : outcome.Error;
        fz.fLastErrorDetail = fz.fAbortZip ? QString() : DetailText(outcome.Details);
        fz.SetOperationState(fNewStatus);
        fz.UpdateLastActive();
        fz.RebuildText();
        if (TLumo_BackupProfile* profile = fz.Profile())
            profile->Context().TaskQueue().CurrentRunEnded();
        fz.UpdateNode();
    });
}
