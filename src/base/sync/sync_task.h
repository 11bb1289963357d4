#pragma once

#include "profiles/enums.h"
#include "profiles/task_object.h"
#include "sync/sync_file_element.h"
#include "sync/sync_settings.h"
#include "util/date_time.h"

#include <QString>
#include <QStringList>

#include <vector>

class TEngineServices;
class TLumo_BackupProfile;
struct TSyncRunResults;

// One folder pair of a sync profile. Both configured folders end with the path
// separator; the resolved folders and the skip mark belong to a run, which
// works on its own copy of the pairs and hands them back at its end.
class TSyncElement {
public:
    TSyncElement(QString nFirst, QString nSecond)
        : fSourceFolder(std::move(nFirst)), fStorageFolder(std::move(nSecond)) {}

    const QString& SourceFolder() const { return fSourceFolder; }
    const QString& StorageFolder() const { return fStorageFolder; }

    QString fRealSource;
    QString fRealStorage;
    bool fSkipIt = false;

private:
    QString fSourceFolder;
    QString fStorageFolder;
};

// The settings a run works with, kept by the task object and copied whole
// into each run, which must not see the profile change while it works.
struct TSyncRunSettings {
    static constexpr int kDefaultBigFileSize = 2000;

    QString fDiskSourceID;
    int fBigFileSize = kDefaultBigFileSize;
    bool fCanUseDriveSourceID = true;
    bool fCanUseDriveStorageID = true;
    bool fCheckDateAndSize = true;
    bool fDelToRecycle = true;
    QString fDiskStorageID;
    std::vector<TSyncElement> fElementList;
    QStringList fExcludeList;
    bool fSkipBigFiles = false;
    bool fSkipHiddenSystem = false;
};

// The statistics of the last analysis, the bytes its run has copied so far
// and the analysis text: filled in by a run, taken over whole by the task object.
struct TSyncStatistics {
    qint64 fResultAllNewCopied = 0;
    qint64 fResultAllNewFiles = 0;
    qint64 fResultAllNewFilesSize = 0;
    qint64 fResultToDeleteFiles = 0;
    qint64 fResultToDeleteFilesSize = 0;
    QString fResultText;
};

// The task object of a folder synchronization profile: its settings, its state
// and the statistics of its last analysis. It creates its profile, which owns it.
class TLumo_Sync final : public ITaskObject, private TSyncRunSettings, private TSyncStatistics {
public:
    static constexpr int kMaxTitleLength = 90;
    static constexpr int kMinBigFileSize = 10;
    static constexpr int kMaxBigFileSize = 10240;
    static constexpr int kDefaultBigFileSize = TSyncRunSettings::kDefaultBigFileSize;

    // Makes the task object with the given UID (a new "SNK" UID when empty),
    // creates its profile in the context's list and returns the task object.
    static TLumo_Sync& Create(TEngineServices& context, const QString& uid);
    ~TLumo_Sync() override;

    // Takes over a settings record, normalising out-of-range values; posts
    // stFullProfile when nSaveAll. Refused (false, nothing changed) while the
    // profile is busy: queued, running, or its stopped worker still winding down.
    bool ApplyNewSettings(const TSyncSettings& nSet, bool nSaveAll);
    TSyncSettings GetSettings() const;
    // Appends one exclusion line (ignored when blank) and posts stExclude.
    void AddNewExclude(const QString& nExclude);
    // Clears the statistics of the last analysis, the progress and the error.
    void ResetStat();
    // The start routine of a queued run: makes the worker, hands it to run
    // and starts it; an analysis when run asks only for a scan. Main thread.
    void StartRun(TBackupTask& run) override;
    // Not while the status is busy; an analysis is a run like any other.
    bool PrepareRun(bool nOnlyScan) override;
    void ResetUnqueued() override;
    // A failed automatic run is tried once more: when it was the first
    // failure in a row (the error-attempt counter is exactly 1), not an
    // analysis and not stopped.
    bool RetriesFailedRun(const TBackupTask& run) const override;
    void WriteProfile(IniDocument& ini) const override;
    // A sync run records nothing beside its settings.
    void WriteRunRecords(IniDocument&) const override {}

    TLumo_Operation SyncStatus() const { return fSyncStatus; }
    void SetSyncStatus(TLumo_Operation value);

    void UpdateLastActive();
    void UpdateStatusText();
    void UpdateNode();
    void UpdateProgress();
    void UpdateCanUseDriveID();
    void RefreshTexts() override;
    bool HasResultWindow() const override { return true; }

    const QString& UID() const { return fUID; }
    const QString& Title() const override { return fTitle; }
    const QString& StatusText() const override { return fSyncStatusText; }
    // The result of the last analysis while one is shown or a run is queued
    // or running, otherwise the last-run line.
    const QString& RowResultText(TTaskStatus queueState) const override {
        return fLastOnlyScan || queueState != TTaskStatus::tsNone ? fResultText : fLastActiveString;
    }
    bool AutoMode() const { return fAutoMode; }
    int BigFileSize() const { return fBigFileSize; }
    bool CanUseDriveSourceID() const { return fCanUseDriveSourceID; }
    bool CanUseDriveStorageID() const { return fCanUseDriveStorageID; }
    bool CheckDateAndSize() const { return fCheckDateAndSize; }
    bool DelToRecycle() const { return fDelToRecycle; }
    const QString& DiskSourceID() const { return fDiskSourceID; }
    const QString& DiskStorageID() const { return fDiskStorageID; }
    const std::vector<TSyncElement>& ElementList() const { return fElementList; }
    int ErrorAttempts() const { return fErrorAttempts; }
    const QStringList& ExcludeList() const override { return fExcludeList; }
    TDateTime LastActive() const { return fLastActive; }
    const QString& LastActiveString() const { return fLastActiveString; }
    TLumo_Error LastError() const override { return fLastError; }
    const QString& LastErrorText() const override { return fLastErrorString; }
    bool LastOnlyScan() const { return fLastOnlyScan; }
    quint8 Progress() const override { return fProgress; }
    quint8 ProgressFull() const override { return fProgressFull; }
    const QString& ResultText() const { return fResultText; }
    bool SkipBigFiles() const { return fSkipBigFiles; }
    bool SkipHiddenSystem() const { return fSkipHiddenSystem; }
    const QString& SyncStatusText() const { return fSyncStatusText; }
    TLumo_BackupProfile* Profile() const { return fLumoBackup; }
    qint64 ResultAllNewCopied() const { return fResultAllNewCopied; }
    qint64 ResultAllNewFiles() const { return fResultAllNewFiles; }
    qint64 ResultAllNewFilesSize() const { return fResultAllNewFilesSize; }
    qint64 ResultToDeleteFiles() const { return fResultToDeleteFiles; }
    qint64 ResultToDeleteFilesSize() const { return fResultToDeleteFilesSize; }
    // The entries of the last analysis not yet done. Changed only on the main
    // thread, and not while a run is queued or running.
    const TSyncResultList& ResultElements() const { return fResultElements; }
    TSyncResultList& ResultElements() { return fResultElements; }

private:
    explicit TLumo_Sync(QString uid);
    // The worker of a run copies the settings when it is made and updates the
    // task object only in its calls on the main thread.
    friend class TSyncThread;
    friend class TSyncUiBatch;
    // Main thread: takes over what the run found so far; an error, once the
    // run has one, is kept.
    void TakeRunResults(const TSyncRunResults& results);

    // The run's settings and the statistics are the two bases.
    quint8 fProgress = 0;
    quint8 fProgressFull = 0;
    bool fAutoMode = false;
    int fErrorAttempts = 0;
    TDateTime fLastActive = 0;
    QString fLastActiveString;
    TLumo_Error fLastError = TLumo_Error::feNone;
    QString fLastErrorString;
    // The folders and causes behind fLastError, shown after its text; set on the main thread.
    QString fLastErrorDetail;
    bool fLastOnlyScan = false;
    TLumo_BackupProfile* fLumoBackup = nullptr;
    TSyncResultList fResultElements;
    TLumo_Operation fSyncStatus = TLumo_Operation::fsNone;
    QString fSyncStatusText;
    QString fTitle = QStringLiteral("-");
    QString fUID;
};
