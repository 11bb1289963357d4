#pragma once

#include "folderzip/folderzip_settings.h"
#include "profiles/enums.h"
#include "profiles/folder_result_row.h"
#include "profiles/task_object.h"
#include "util/date_time.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class TEngineServices;
struct TSourceScan;
class TLumo_BackupProfile;

// The task object of a folder archiving profile: its settings, the known
// subfolders of its source folder with their archive states, and the texts it
// shows. It creates its profile, which owns it.
class TLumo_FolderZip final : public ITaskObject {
public:
    static constexpr int kMaxTitleLength = 90;
    static constexpr int kDefaultCompression = 7;
    static constexpr int kMinSpanSize = 10;
    static constexpr int kMaxSpanSize = 9999;
    static constexpr int kDefaultSpanSize = 1900;

    // Elements keep their address for their whole life (the run and the result
    // list point at them).
    using TElementList = std::vector<std::unique_ptr<TFolderZipElement>>;

    // Makes the task object with the given UID (a new "FZP" UID when empty),
    // creates its profile in the context's list and returns the task object.
    static TLumo_FolderZip& Create(TEngineServices& context, const QString& uid);
    ~TLumo_FolderZip() override;

    // Takes over a settings record, normalising out-of-range values; elements
    // it carries (when flagged) are appended. Posts stFullProfile when nSaveAll.
    void ApplyNewSettings(const TFolderZip_Settings& nSet, bool nSaveAll);
    // The editable settings; no elements and no last-run time.
    TFolderZip_Settings GetSettings() const;

    // Changes the excluded subfolder names: nAddList (when given) is added to
    // the list, or replaces it when nClearIt; nRemoveList (when given) is taken
    // out. The list stays sorted without regard to case and free of duplicates.
    // Posts stProfile unless nDontSave or neither list was given.
    void UpdateExFolderList(const QStringList* nAddList, const QStringList* nRemoveList, bool nClearIt,
                            bool nDontSave);
    // Starts a run of the task at the head of the queue on its own worker;
    // extSettings names the subfolders (upper-cased) a forced run archives.
    void StartZip(bool nOnlyScan, const std::optional<QStringList>& extSettings);
    // Brings the element list up to date with what a run found in the source
    // folder: excluded subfolders leave it, new ones join it, and each one
    // found gets its state. nOnlyElements (upper-cased names) limits the
    // update to those; without it, and when the listing was complete, the
    // elements not found become flsToDelete.
    void GetItems(const TSourceScan& scan, const std::optional<QStringList>& nOnlyElements);
    // The first element whose name equals name ignoring letter case, or null.
    TFolderZipElement* FindElement(const QString& name) const;

    // Rebuilds the scan result text and every element's "Modified" text.
    void RebuildText();

    // The result list (main thread): each change of an element goes to the
    // engine events as a snapshot of its row. AddRows gives every element
    // without a row the next row number (its pNode) and announces the rows;
    // nothing while the program closes, nothing for a null element.
    // UpdateRows and RemoveRows announce the current values or the removal
    // of the elements that have a row; RemoveRows clears their pNode.
    void AddRows(const std::vector<TFolderZipElement*>& elements);
    void UpdateRows(const std::vector<TFolderZipElement*>& elements);
    void UpdateAllRows();
    void RemoveRows(const std::vector<TFolderZipElement*>& elements);
    // The rows listed now, in list order: what a window opened later starts from.
    QList<TFolderZipRow> Rows() const;
    bool HasResultWindow() const override { return true; }
    // The window's "Exclude folder": marks the named elements excluded (or
    // not), shows it, and adds the names to the folder exclusion list (or
    // takes them out of it), saving the profile. The elements stay listed
    // until the next scan drops them.
    void SetElementsExcluded(const QStringList& names, bool exclude);
    void AbortZip();
    void ResetStat();
    TLumo_Operation Operation() const { return fOperation; }
    void SetOperationState(TLumo_Operation value);

    void UpdateLastActive();
    void UpdateStatusText();
    void UpdateNode();
    void UpdateProgress();
    void RefreshTexts() override;

    // Not while busy; an analysis is a run like any other.
    bool PrepareRun(bool nOnlyScan) override;
    void ResetUnqueued() override;
    // A failed folder archiving run waits for its next start.
    bool RetriesFailedRun(const TBackupTask&) const override { return false; }
    // The folder archiving engine is registered by the kind when it exists;
    // until then the queue ends such a run without starting anything.
    void StartRun(TBackupTask& run) override;
    void WriteProfile(IniDocument& ini) const override;
    // The subfolder states.
    void WriteRunRecords(IniDocument& ini) const override;

    const QString& UID() const { return fUID; }
    const QString& Title() const override { return fTitle; }
    // The result of the last analysis when there is one, else the last-run line.
    const QString& RowResultText(TTaskStatus) const override {
        return fScanResultText.isEmpty() ? fResultText : fScanResultText;
    }
    int Compression() const { return fCompression; }
    bool CleanFolder() const { return fCleanFolder; }
    bool CleanFolderToTrash() const { return fCleanFolderToTrash; }
    const QString& StorageFolder() const { return fStorageFolder; }
    const QString& SourceFolder() const { return fSourceFolder; }
    const QString& RealStorage() const { return fRealStorage; }
    const QString& RealSource() const { return fRealSource; }
    TDateTime LastActive() const { return fLastActive; }
    TLumo_Error LastError() const override { return fLastError; }
    const QString& LastErrorText() const override { return fLastErrorString; }
    // Stored (scrambled) form.
    const QString& Password() const { return fPassword; }
    bool SpanningEnabled() const { return fSpanningEnabled; }
    int SpanningSizeValue() const { return fSpanningSizeValue; }
    const QString& DiskSourceID() const { return fDiskSourceID; }
    const QString& DiskStorageID() const { return fDiskStorageID; }
    bool LastOnlyScan() const { return fLastOnlyScan; }
    // File exclusion masks for the archives.
    const QStringList& ExcludeList() const override { return fExcludeList; }
    // Names of subfolders that are never archived.
    const QStringList& FolderExcludeList() const { return fFolderExcludeList; }
    const TElementList& Elements() const { return fElements; }
    const QString& StatusText() const override { return fStatusText; }
    quint8 Progress() const override { return fProgress; }
    quint8 ProgressFull() const override { return fProgressFull; }
    int LastScanUpdated() const { return fLastScanUpdated; }
    const QString& ResultText() const { return fResultText; }
    const QString& ScanResultText() const { return fScanResultText; }
    bool AbortRequested() const { return fAbortZip; }
    TLumo_BackupProfile* Profile() const { return fLumoBackup; }

private:
    explicit TLumo_FolderZip(QString uid);
    // The worker of a run resolves the folders and records element states.
    friend class TFolderZipThread;

    std::atomic<bool> fAbortZip{false};
    int fCompression = kDefaultCompression;
    bool fCleanFolder = false;
    bool fCleanFolderToTrash = true;
    QString fStorageFolder;
    QString fRealStorage;
    QString fSourceFolder;
    QString fRealSource;
    QString fTitle = QStringLiteral("-");
    TDateTime fLastActive = 0;
    TLumo_Error fLastError = TLumo_Error::feNone;
    QString fLastErrorString;
    // The paths and causes behind fLastError, shown after its text.
    QString fLastErrorDetail;
    QString fPassword;
    QString fUID;
    bool fSpanningEnabled = false;
    int fSpanningSizeValue = kDefaultSpanSize;
    QString fDiskSourceID;
    QString fDiskStorageID;
    bool fLastOnlyScan = false;
    QStringList fExcludeList;
    QStringList fFolderExcludeList;
    TElementList fElements;
    TFolderZipElement* fCurrentElement = nullptr;
    TLumo_BackupProfile* fLumoBackup = nullptr;
    TLumo_Operation fOperation = TLumo_Operation::fsNone;
    QString fStatusText;
    quint8 fProgress = 0;
    quint8 fProgressFull = 0;
    int fProgressFullCount = 0;
    int fProgressFullIndex = 0;
    int fLastScanUpdated = 0;
    QString fResultText;
    QString fScanResultText;
    // The number of the latest row given to an element.
    quint32 fLastRowId = 0;
};
