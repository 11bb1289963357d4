#pragma once

#include "profiles/enums.h"
#include "profiles/task_object.h"
#include "util/date_time.h"
#include "zip/zip_settings.h"
#include "zip/zip_versions.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

class TEngineServices;
class TLumo_BackupProfile;
class TSaveSettings;

// The task object of an archive backup profile: its settings, its recorded
// versions and its state. It creates its profile, which owns it.
class TLumo_Zip final : public ITaskObject {
public:
    static constexpr int kMaxTitleLength = 90;
    static constexpr int kDefaultCompression = 7;
    static constexpr int kMinVersions = 1;
    static constexpr int kMaxVersions = 99;
    static constexpr int kDefaultVersions = 30;
    static constexpr int kMinSpanSize = 10;
    static constexpr int kMaxSpanSize = 9999;
    static constexpr int kDefaultSpanSize = 1900;

    // Makes the task object with the given UID (a new "ZIP" UID when empty),
    // creates its profile in the context's list and returns the task object.
    static TLumo_Zip& Create(TEngineServices& context, const QString& uid);
    ~TLumo_Zip() override;

    // Takes over a settings record, normalising out-of-range values; the
    // versions it carries (when flagged) are appended. Posts stFullProfile when nSaveAll.
    void ApplyNewSettings(const TZip_Settings& nSet, bool nSaveAll);
    // The editable settings; versions, version index and last-run time are not included.
    TZip_Settings GetSettings() const;

    // Starts the run at the head of the queue on its own worker.
    void StartRun(TBackupTask& run) override;
    // Not while busy, and never an analysis: an archive backup has none.
    bool PrepareRun(bool nOnlyScan) override;
    void ResetUnqueued() override;
    // A failed archive backup waits for its next start.
    bool RetriesFailedRun(const TBackupTask&) const override { return false; }
    void WriteProfile(IniDocument& ini) const override;
    // The recorded versions.
    void WriteRunRecords(IniDocument& ini) const override;
    // Drops the versions beyond the limit (by count or by age), deleting
    // their archives and segments, and posts the save of the version list to
    // saver (none: the list is not saved).
    void FVUpdate(TSaveSettings* saver);

    void AbortZip();
    void ResetStat();
    TLumo_Operation Operation() const { return fOperation; }
    void SetOperationState(TLumo_Operation value);

    void UpdateLastActive();
    void UpdateStatusText();
    void UpdateNode();
    void UpdateProgress();
    void UpdateCanUseDriveID();
    void RefreshTexts() override;

    const QString& UID() const { return fUID; }
    const QString& Title() const override { return fTitle; }
    // The last-run line, whatever the queue state.
    const QString& RowResultText(TTaskStatus) const override { return fResultText; }
    bool CanUseDriveSourceID() const { return fCanUseDriveSourceID; }
    int Compression() const { return fCompression; }
    const QString& DiskSourceID() const { return fDiskSourceID; }
    const QString& DiskStorageID() const { return fDiskStorageID; }
    const QStringList& ExcludeList() const override { return fExcludeList; }
    int FVLastIndex() const { return fFVLastIndex; }
    TZipVersion FVType() const { return fFVType; }
    int FVValue() const { return fFVValue; }
    const TFileVersionList& FileVersionList() const { return fFileVersionList; }
    const QString& Filename() const { return fFilename; }
    const QString& Folder() const { return fFolder; }
    const QString& RealFolder() const { return fRealFolder; }
    TDateTime LastActive() const { return fLastActive; }
    TLumo_Error LastError() const override { return fLastError; }
    const QString& LastErrorText() const override { return fLastErrorString; }
    // Stored (scrambled) form.
    const QString& Password() const { return fPassword; }
    // The last-run text shown as the profile's third line.
    const QString& ResultText() const { return fResultText; }
    bool SpanningEnabled() const { return fSpanningEnabled; }
    int SpanningSizeValue() const { return fSpanningSizeValue; }
    const QString& StatusText() const override { return fOperationText; }
    const std::vector<TZipElement>& ZipElements() const { return fZipElements; }
    quint8 Progress() const override { return fZipProgress; }
    // An archive backup has one progress value; the second bar stays empty.
    quint8 ProgressFull() const override { return 0; }
    bool AbortRequested() const { return fAbortZip; }
    TLumo_BackupProfile* Profile() const { return fLumoBackup; }

    // The local clock of the archive names, the version times and the version
    // ages; tests put their own in its place.
    void SetClock(std::function<TDateTime()> clock) { fClock = std::move(clock); }
    TDateTime CurrentTime() const { return fClock ? fClock() : Now(); }

private:
    explicit TLumo_Zip(QString uid);
    // The worker of a run resolves the folder, records versions and errors.
    friend class TZipThread;

    std::atomic<bool> fAbortZip{false};
    bool fCanUseDriveSourceID = false;
    int fCompression = kDefaultCompression;
    QString fDiskSourceID;
    QString fDiskStorageID;
    QStringList fExcludeList;
    int fFVLastIndex = 0;
    TZipVersion fFVType = TZipVersion::zvNone;
    int fFVValue = kDefaultVersions;
    TFileVersionList fFileVersionList;
    QString fFilename;
    QString fFolder;
    QString fRealFolder;
    TDateTime fLastActive = 0;
    TLumo_Error fLastError = TLumo_Error::feNone;
    QString fLastErrorString;
    // The paths and causes behind fLastError, shown after its text; set on the main thread.
    QString fLastErrorDetail;
    TLumo_Operation fOperation = TLumo_Operation::fsNone;
    QString fOperationText;
    TLumo_BackupProfile* fLumoBackup = nullptr;
    QString fPassword;
    QString fResultText;
    bool fSpanningEnabled = false;
    int fSpanningSizeValue = kDefaultSpanSize;
    QString fTitle = QStringLiteral("-");
    QString fUID;
    std::vector<TZipElement> fZipElements;
    quint8 fZipProgress = 0;
    std::function<TDateTime()> fClock;
};
