#pragma once

#include "folderzip/folderzip_settings.h"
#include "gui/settings/general_settings.h"
#include "lang/lang_keys.h"
#include "profiles/enums.h"
#include "sync/sync_settings.h"
#include "zip/zip_settings.h"

#include <QDialog>
#include <QString>

#include <memory>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class TBoundedSpinBox;
class QStackedWidget;
class TAppContext;
class TLinkHost;
class TLumo_BackupProfile;
class TProgramLinkStyle;

// The modal window that creates and edits the profiles of all three kinds and
// shows the general settings page. Up to three page items on the left, the
// chosen page on the right; Apply checks the input and hands a settings record
// to the task object, which posts the save request.
class TfrmProfile : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProfile(TAppContext& context, QWidget* parent = nullptr);
    ~TfrmProfile() override;

    // Fills the window for the profile with that UID (its kind), or for a new
    // profile of kind nType when uid is empty. False when no such profile.
    bool SetProfile(const QString& uid, TBackupClass nType);
    // Fills the window with the general settings page.
    void SetMainAppSettings(const TGeneralSettingsHooks& hooks = {});
    // What the main window puts into effect after an apply (jump list, tray...).
    void SetHooks(const TGeneralSettingsHooks& hooks) { fHooks = hooks; }

    // Runs the checks and, when they pass, stores; true when stored (and the
    // window closed) or, on the general settings page, applied.
    bool btnApplyFormClick();
    void SetLanguageToForm();

    // After an apply of a new profile: its UID.
    const QString& CreatedUID() const { return fCreatedUID; }
    bool Modified() const { return fModified; }
    int CurrentPage() const;

    static constexpr int kPasswordPlaceholderLength = 7;

    // Close, Escape and the window's close button: asks about unsaved changes.
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWindow();
    QWidget* BuildSyncPage();
    QWidget* BuildZipPage();
    QWidget* BuildFolderZipPage();
    QWidget* BuildMainPage();
    QWidget* BuildSyncPairsPage();
    QWidget* BuildZipElementsPage();
    QWidget* BuildFolderExcludePage();
    QWidget* BuildExcludePage();
    QLineEdit* MakeEdit(const char* name, QWidget* page);
    QLineEdit* MakeDiskField(const char* name, QWidget* page, QString TfrmProfile::*id);
    QLineEdit* MakePasswordField(const char* name, QWidget* page);
    void WatchChanges(QWidget* page);
    void ChainEnter(const QList<QLineEdit*>& fields);

    void ShowItems();
    void ShowPage(int item);
    void ClearAll();
    void FillSync(const TSyncSettings& s);
    void FillZip(const TZip_Settings& s);
    void FillFolderZip(const TFolderZip_Settings& s);
    TSyncSettings SyncFromControls() const;
    TZip_Settings ZipFromControls() const;
    TFolderZip_Settings FolderZipFromControls() const;
    TGeneralSettingsValues MainFromControls() const;
    void FillMain();

    void SetModified() { fModified = true; }
    void UpdateEnabled();
    void UpdateDiskFields();
    void ShowDiskID(QLineEdit* field, const QString& id);
    void ChooseDiskID(QLineEdit* field, QString TfrmProfile::*id);

    void AddSyncPair();
    void EditSyncPair();
    void DeleteSyncPairs();
    void AddSyncPairRow(const QString& source, const QString& storage);
    void AddZipFolder();
    void AddZipFiles();
    void AddZipPaths(const QStringList& paths);
    bool AddZipPath(const QString& path);
    void EditZipElement();
    void DeleteZipElements();
    void ApplyExcludeTemplate();
    void InsertFilenamePlaceholder(const QString& placeholder);
    void ShowFilenameResult();

    bool Refuse(Lng text, int page, QWidget* field, int row = -1);
    bool ApplyProfile();
    bool ApplyMain();

    TAppContext& fContext;
    TGeneralSettingsHooks fHooks;
    QString fCurrentUID; // empty for a new profile
    TBackupClass fCurrentType = TBackupClass::bcNone;
    bool fModified = false;
    bool fPassModified = false;
    bool fApplyError = false;
    bool fNowDropZip = false;
    bool fFilling = false;
    bool fClosingAfterApply = false;
    QString fIDSource;
    QString fIDStorage;
    int fNowLang = 0;
    QString fCreatedUID;
    // The last version count chosen for a new archive backup in this window.
    int fLastVersionsValue = 30;

    QListWidget* lstItems = nullptr;
    QStackedWidget* pages = nullptr;
    QLabel* lblPageTitle = nullptr;
    QPushButton* btnApply = nullptr;
    QPushButton* btnClose = nullptr;
    QWidget* pgSync = nullptr;
    QWidget* pgZip = nullptr;
    QWidget* pgFolderZip = nullptr;
    QWidget* pgMain = nullptr;
    QWidget* pgSyncPairs = nullptr;
    QWidget* pgZipElements = nullptr;
    QWidget* pgFolderExclude = nullptr;
    QWidget* pgExclude = nullptr;

    // Sync.
    QLabel* lblSyncTitle = nullptr;
    QLineEdit* edtSyncTitle = nullptr;
    QCheckBox* chkSyncAutoMode = nullptr;
    QLabel* lblCompare = nullptr;
    QRadioButton* rbCompareTimeSize = nullptr;
    QRadioButton* rbCompareSize = nullptr;
    QLabel* lblSyncDelete = nullptr;
    QRadioButton* rbSyncDelRecycle = nullptr;
    QRadioButton* rbSyncDelPermanent = nullptr;
    QLabel* lblSkip = nullptr;
    QCheckBox* chkSkipHidden = nullptr;
    QCheckBox* chkSkipLarge = nullptr;
    TBoundedSpinBox* spnBigFileSize = nullptr;
    QLabel* lblSyncDisks = nullptr;
    QLabel* lblSyncDiskSource = nullptr;
    QLabel* lblSyncDiskStorage = nullptr;
    QLineEdit* edtSyncDiskSource = nullptr;
    QLineEdit* edtSyncDiskStorage = nullptr;
    QLabel* lblSyncDisksHint = nullptr;
    QListWidget* lstSyncPairs = nullptr;
    QPushButton* btnSyncAdd = nullptr;
    QPushButton* btnSyncEdit = nullptr;
    QPushButton* btnSyncDelete = nullptr;

    // Archive backup.
    QLabel* lblZipTitle = nullptr;
    QLineEdit* edtZipTitle = nullptr;
    QLabel* lblZipFilename = nullptr;
    QLineEdit* edtZipFilename = nullptr;
    QMenu* mnuFilename = nullptr;
    QLabel* lblZipFolder = nullptr;
    QLineEdit* edtZipFolder = nullptr;
    QLabel* lblZipPassword = nullptr;
    QLineEdit* edtZipPassword = nullptr;
    QLabel* lblZipCompression = nullptr;
    TBoundedSpinBox* spnZipCompression = nullptr;
    QLabel* lblVersions = nullptr;
    QCheckBox* chkUseVersion = nullptr;
    QRadioButton* rbItemsCount = nullptr;
    QRadioButton* rbItemsDays = nullptr;
    TBoundedSpinBox* spnVersions = nullptr;
    QCheckBox* chkZipSpan = nullptr;
    TBoundedSpinBox* spnZipSpan = nullptr;
    QLabel* lblZipDisks = nullptr;
    QLabel* lblZipDiskSource = nullptr;
    QLabel* lblZipDiskStorage = nullptr;
    QLineEdit* edtZipDiskSource = nullptr;
    QLineEdit* edtZipDiskStorage = nullptr;
    QLabel* lblZipDisksHint = nullptr;
    QListWidget* lstZipElements = nullptr;
    QPushButton* btnZipAddFolder = nullptr;
    QPushButton* btnZipAddFiles = nullptr;
    QPushButton* btnZipEdit = nullptr;
    QPushButton* btnZipDelete = nullptr;

    // Folder archiving.
    QLabel* lblFzTitle = nullptr;
    QLineEdit* edtFzTitle = nullptr;
    QLabel* lblFzSource = nullptr;
    QLineEdit* edtFzSource = nullptr;
    QLabel* lblFzStorage = nullptr;
    QLineEdit* edtFzStorage = nullptr;
    QLabel* lblFzPassword = nullptr;
    QLineEdit* edtFzPassword = nullptr;
    QLabel* lblFzCompression = nullptr;
    TBoundedSpinBox* spnFzCompression = nullptr;
    QCheckBox* chkCleanFolder = nullptr;
    QLabel* lblCleanFolder = nullptr;
    QLabel* lblFzDelete = nullptr;
    QRadioButton* rbFzDelRecycle = nullptr;
    QRadioButton* rbFzDelPermanent = nullptr;
    QCheckBox* chkFzSpan = nullptr;
    TBoundedSpinBox* spnFzSpan = nullptr;
    QLabel* lblFzDisks = nullptr;
    QLabel* lblFzDiskSource = nullptr;
    QLabel* lblFzDiskStorage = nullptr;
    QLineEdit* edtFzDiskSource = nullptr;
    QLineEdit* edtFzDiskStorage = nullptr;
    QPlainTextEdit* memFolderExclude = nullptr;

    // Exclusions.
    QPlainTextEdit* memExclude = nullptr;
    std::unique_ptr<TProgramLinkStyle> fLinkStyle;
    TLinkHost* lnkExcludeTemplate = nullptr;

    // General settings.
    QCheckBox* chkAutorun = nullptr;
    QCheckBox* chkDelayedStart = nullptr;
    QCheckBox* chkLowPriority = nullptr;
    QCheckBox* chkShowTray = nullptr;
    QCheckBox* chkStayOnTop = nullptr;
    QCheckBox* chkShowIcons = nullptr;
    QCheckBox* chkAutoUpdate = nullptr;
    QCheckBox* chkBeta = nullptr;
    QCheckBox* chkPortable = nullptr;
    QLabel* lblLang = nullptr;
    QComboBox* cmbLanguage = nullptr;
    QLabel* lblMisc = nullptr;
};
