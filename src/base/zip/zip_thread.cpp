#include "zip/zip_thread.h"

#include "archive/writer_leftovers.h"
#include "archive/zip_writer.h"
#include "os/file_ops.h"
#include "profiles/backup_profile.h"
#include "profiles/engine_services.h"
#include "profiles/task_queue.h"
#include "settings/save_settings.h"
#include "util/drives.h"
#include "util/main_thread.h"
#include "util/native_path.h"
#include "util/path_delim.h"
#include "util/scramble.h"
#include "zip/zip_files.h"
#include "zip/zip_names.h"
#include "zip/zip_placement.h"
#include "zip/zip_task.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

namespace {

const QString kZipExt = QStringLiteral(".zip");

QString FolderOf(const QString& path) { return path.left(path.lastIndexOf(kPathDelim) + 1); }

QString WithTrailingDelim(const QString& folder) {
    return folder.isEmpty() || folder.endsWith(kPathDelim) ? folder : folder + kPathDelim;
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }
// The settings name folders in UTF-8, which the standard library turns into the system's own form.
std::filesystem::path PathOf(const QString& path) {
    const QByteArray utf8 = path.toUtf8();
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.constData()), static_cast<std::size_t>(utf8.size())));
}

} // namespace

void RegisterZipEngine(TTaskQueue& queue) {
    queue.SetEngineStart(TBackupClass::bcZip, [](TBackupTask& task) { task.Profile().Task().StartRun(task); });
}

void TLumo_Zip::StartRun(TBackupTask& run) {
    fLastError = TLumo_Error::feNone;
    fLastErrorDetail.clear();
    fAbortZip = run.AbortRequested();
    fZipProgress = 0;
    auto thread = std::make_unique<TZipThread>(*this);
    TZipThread& worker = *thread;
    run.SetThread(std::move(thread));
    worker.start();
}

TZipThread::TZipThread(TLumo_Zip& zip) : TEngineThread(zip.Profile()), fZipThread(zip) {
    fSettings.Folder = zip.fFolder;
    fSettings.DiskStorageID = zip.fDiskStorageID;
    fSettings.DiskSourceID = zip.fDiskSourceID;
    fSettings.CanUseDriveSourceID = zip.fCanUseDriveSourceID;
    fSettings.Filename = zip.fFilename;
    fSettings.FVType = zip.fFVType;
    fSettings.FVLastIndex = zip.fFVLastIndex;
    fSettings.Compression = zip.fCompression;
    fSettings.Password = zip.fPassword;
    fSettings.ExcludeList = zip.fExcludeList;
    fSettings.Elements = zip.fZipElements;
    for (const TFileVersion& version : zip.fFileVersionList)
        fSettings.VersionFiles << version.Filename;
    fSettings.SpanningEnabled = zip.fSpanningEnabled;
    fSettings.SpanningSizeValue = zip.fSpanningSizeValue;
}

TZipThread::~TZipThread() { wait(); }

bool TZipThread::Aborted() const { return fZipThread.fAbortZip; }

void TZipThread::AbortTask() {
    fZipThread.fAbortZip = true;
    fZipThread.fLastError = TLumo_Error::feCanceledByUser;
    StopScripts();
    fZipThread.fZipProgress = 0;
    fZipThread.fOperation = TLumo_Operation::fsNone;
}

void TZipThread::Execute() {
    ApplyWantedPriority();
    ShowOperation(TLumo_Operation::fsScriptBefore, false);
    if (!Aborted())
        RunProfileScripts(true);
    TRunOutcome outcome;
    if (!Aborted())
        WriteArchive(outcome);
    Finish(outcome);
}

void TZipThread::ShowOperation(TLumo_Operation operation, bool clearProgress) {
    fNewStatus = operation;
    RunOnMainThread([this, clearProgress] {
        if (clearProgress)
            fZipThread.fZipProgress = 0;
        fZipThread.fResultText.clear();
        fZipThread.SetOperationState(fNewStatus);
    });
}

TZipThread::TSources TZipThread::CollectSources() const {
    TSources sources;
    QStringList readyVolumes, missingVolumes;
    for (const TZipElement& element : fSettings.Elements) {
        QString path = element.Fullname;
        if (fSettings.CanUseDriveSourceID && !fSettings.DiskSourceID.isEmpty()) {
            path = RebindPathToDrive(path, fSettings.DiskSourceID);
            if (path.isEmpty()) {
                // The source disk is not connected.
                sources.Error = TLumo_Error::feNoDisk;
                sources.Details << element.Fullname;
                continue;
            }
        }
        if (path.trimmed().isEmpty())
            continue;
        const QString volume = MountPointOf(path);
        if (missingVolumes.contains(volume))
            continue;
        if (!readyVolumes.contains(volume)) {
            if (!IsDriveReady(path)) {
                missingVolumes << volume;
                sources.Error = TLumo_Error::feNoDisk;
                sources.Details << path;
                continue;
            }
            readyVolumes << volume;
        }
        const QFileInfo info(path);
        if (element.IsFolder ? info.isDir() : info.exists() && !info.isDir()) {
            sources.Masks << (element.IsFolder ? WithTrailingDelim(path) + QStringLiteral("*.*") : path);
        } else {
            sources.Error = TLumo_Error::feSourceFilesFolder;
            // Only now is the system asked why: a folder above it may be closed to this user.
            const os::PathStatus status = os::StatusOf(PathToNative(path));
            sources.Details << (status.errorText.empty()
                                    ? path
                                    : path + QStringLiteral(": ") + QString::fromStdString(status.errorText));
        }
    }
    return sources;
}

void TZipThread::ConfigureWriter(TZipWriter& writer, const QString& tempFile, const QString& target,
                                 const TSources& sources, bool split) {
    TArchiveWriterSetup setup;
    setup.TempFile = tempFile;
    setup.Compression = fSettings.Compression;
    setup.StoredPassword = fSettings.Password;
    setup.ExcludeList = fSettings.ExcludeList;
    // With the target inside a source, neither this run's temporary files nor
    // the profile's archives become data of the new archive.
    setup.ExtraExcludes << FolderOf(tempFile) + kRunTempBasePrefix + QStringLiteral("*") << target
                        << fSettings.VersionFiles;
    setup.Split = split;
    setup.SpanSizeMiB = fSettings.SpanningSizeValue;
    setup.Stop = &fZipThread.fAbortZip;
    ConfigureArchiveWriter(writer, setup, fLeftOut);
    writer.FileMasks().clear();
    for (const QString& mask : sources.Masks)
        writer.FileMasks().push_back(Utf8(mask));
    writer.SetBaseDir(Utf8(FolderOf(sources.Masks.first())));
    writer.OnFileProgress = [this](TZipWriterBase&, const std::string&, double, TZWProcessOperation,
                                   TZWProgressPhase, bool& cancel) { cancel = Aborted(); };
    writer.OnOverallProgress = [this](TZipWriterBase&, double progress, TZWProcessOperation, TZWProgressPhase,
                                      bool& cancel) { OnProgress(progress, cancel); };
}

void TZipThread::OnProgress(double progress, bool& cancel) {
    cancel = Aborted();
    ApplyWantedPriority();
    if (cancel)
        return;
    const int percent = fProgressPacer.Next(progress);
    if (percent < 0)
        return;
    if (!QCoreApplication::instance())
        return;
    // Not waited for: the worker goes on compressing. Posted calls run in
    // order, so all of them have run before the end routine's call.
    TLumo_Zip* zip = &fZipThread;
    PostToMainThread([zip, percent] {
        if (zip->fAbortZip)
            return;
        zip->fZipProgress = static_cast<quint8>(percent);
        zip->UpdateProgress();
    });
}

void TZipThread::WriteArchive(TRunOutcome& outcome) {
    const bool split = fSettings.SpanningEnabled;
    const QString realFolder = WithTrailingDelim(fSettings.DiskStorageID.isEmpty()
                                                     ? fSettings.Folder
                                                     : RebindPathToDrive(fSettings.Folder, fSettings.DiskStorageID));
    outcome.RealFolder = realFolder;
    if (realFolder.isEmpty() || !IsDriveReady(realFolder)) {
        outcome.Error = TLumo_Error::feNoDisk;
        outcome.Details << fSettings.Folder;
        return;
    }

    const QString name = ExpandNameTemplate(fSettings.Filename, QString(), fZipThread.CurrentTime());
    if (name.isEmpty() || name.endsWith(kPathDelim)) {
        // No file name to write to: nothing is touched.
        outcome.Error = TLumo_Error::feDeleteTarget;
        return;
    }
    const TArchiveTarget target =
        ChooseArchiveTarget(realFolder, name, fSettings.FVType, fSettings.FVLastIndex, PathTaken);
    if (target.Path.isEmpty()) {
        outcome.Error = TLumo_Error::feDeleteTarget;
        return;
    }
    if (!ArchiveNameFits(target.Path.mid(realFolder.size()))) {
        // Caught before anything is created: the file system would refuse the name.
        outcome.Error = TLumo_Error::feArchiveNameTooLong;
        outcome.Details << target.Path.mid(realFolder.size());
        return;
    }
    const QString folder = FolderOf(target.Path);
    if (std::error_code made; !QFileInfo(folder).isDir() &&
                              !std::filesystem::create_directories(PathOf(folder), made) && made) {
        outcome.Error = TLumo_Error::feFolderCreate;
        outcome.Details << folder + QStringLiteral(": ") + QString::fromStdString(made.message());
        return;
    }
    // A swap of archive sets cut off by a kill is finished or undone before
    // anything else, as its files may hold the only whole archive.
    std::string leftoverError;
    if (!archive::RemoveWriterLeftovers(Utf8(folder), leftoverError)) {
        outcome.Error = TLumo_Error::feArchiving;
        outcome.Details << QString::fromUtf8(leftoverError);
        return;
    }
    RemoveRunLeftovers(folder);
    const QString tempBase = FreeTempBase(folder);
    const QString tempFile = folder + tempBase + kZipExt;

    ShowOperation(TLumo_Operation::fsZip, false);
    const TSources sources = CollectSources();
    outcome.Error = sources.Error;
    outcome.Details << sources.Details;
    if (sources.Masks.isEmpty()) {
        // Nothing can be reached: an empty archive would replace the last good
        // one and count as a version, so the target and the versions stay.
        if (outcome.Error == TLumo_Error::feNone)
            outcome.Error = TLumo_Error::feSourceElements;
        return;
    }

    bool failed = false;
    fLeftOut.Clear();
    try {
        TZipWriter writer;
        ConfigureWriter(writer, tempFile, target.Path, sources, split);
        if (split)
            DeleteSplitVolumes(tempBase, folder); // left behind by an earlier run that was cut off
        writer.OpenArchive(TZWOpenMode::omCreate);
        writer.AddFiles();
        writer.SetInMemory(false);
        writer.CloseArchive();
        fLeftOut.AddWritersOwn(writer);
    } catch (const std::exception& error) {
        failed = true;
        outcome.Error = TLumo_Error::feArchiving;
        outcome.Details << QString::fromUtf8(error.what());
    } catch (...) {
        failed = true;
        outcome.Error = TLumo_Error::feArchiving;
    }
    if (failed || Aborted()) {
        DiscardTemporary(folder, tempBase, split);
        return;
    }
    if (!fLeftOut.Texts().isEmpty()) {
        // The archive is complete but for these; the run ends with an error naming them.
        outcome.Error = TLumo_Error::feLeftOut;
        outcome.Details << fLeftOut.Texts();
    }
    outcome.Target = target.Path;
    outcome.FVLastIndex = target.FVLastIndex;
    PlaceArchive(outcome, folder, tempBase, split);
    if (outcome.Placed)
        CommitSuccess(outcome);
}

void TZipThread::PlaceArchive(TRunOutcome& outcome, const QString& folder, const QString& tempBase,
                              bool split) const {
    QString cause;
    if (!::PlaceArchive(folder, tempBase, outcome.Target, split, cause)) {
        outcome.Error = TLumo_Error::feDeleteTarget;
        outcome.Details.clear();
        if (!cause.isEmpty())
            outcome.Details << cause;
        return;
    }
    outcome.Placed = true;
}

void TZipThread::CommitSuccess(const TRunOutcome& outcome) {
    RunOnMainThread([this, &outcome] {
        TLumo_Zip& zip = fZipThread;
        const TDateTime now = zip.CurrentTime();
        zip.fFVLastIndex = outcome.FVLastIndex;
        zip.fLastActive = now;
        if (TLumo_BackupProfile* profile = zip.Profile())
            profile->Context().Saver().AddNewTask(TSaveSetType::stProfile, zip.fUID);
        if (fSettings.FVType != TZipVersion::zvNone) {
            zip.fFileVersionList.push_back(TFileVersion{now, outcome.Target});
            zip.FVUpdate(zip.Profile() ? &zip.Profile()->Context().Saver() : nullptr);
        }
    });
}

void TZipThread::Finish(const TRunOutcome& outcome) {
    fNewStatus = TLumo_Operation::fsScriptAfter;
    RunOnMainThread([this, &outcome] {
        if (!outcome.RealFolder.isEmpty())
            fZipThread.fRealFolder = outcome.RealFolder;
        fZipThread.fZipProgress = 0;
        fZipThread.fResultText.clear();
        fZipThread.SetOperationState(fNewStatus);
    });
    if (!Aborted())
        RunProfileScripts(false);
    fNewStatus = TLumo_Operation::fsNone;
    RunOnMainThread([this, &outcome] {
        TLumo_Zip& zip = fZipThread;
        // A stop wins over whatever the run recorded.
        zip.fLastError = zip.fAbortZip ? TLumo_Error::feCanceledByUser : outcome.Error;
        zip.fLastErrorDetail = zip.fAbortZip ? QString() : DetailText(outcome.Details);
        zip.SetOperationState(fNewStatus);
        zip.UpdateLastActive();
        if (TLumo_BackupProfile* profile = zip.Profile())
            profile->Context().TaskQueue().CurrentRunEnded();
        zip.UpdateNode();
    });
}
