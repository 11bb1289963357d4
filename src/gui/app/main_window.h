#pragma once

#include "gui/app/main_window_hooks.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class TAppContext;
class TLumoNotificationSettings;
class TProfileListModel;
class TProfileListView;
class TProfileRowDelegate;
class TStatusBarLinks;
class TTrayIcon;
class TWindowQuestions;

// How the program was started, as far as the main window cares.
struct TMainWindowStart {
    bool StartedByAutorun = false;
    // No settings file existed at start: the general settings open at the first show.
    bool ShowBootSettings = false;
};

// The main window: one row per profile, the commands on profiles and on the
// program, the tray icon and the shutdown of the program. It drives the engine
// through the context's commands and follows it through the engine's events.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    TfrmMain(TAppContext& context, TMainWindowStart start, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TMainWindowHooks& Hooks() { return fHooks; }

    // Binds the profile with this UID to a new row at the end and saves the
    // order (a profile editor calls it after it saved a new profile).
    void AddProfileRow(const QString& uid);
    // gl_GetProfileLst: the UIDs of all rows in display order.
    QStringList ProfileUIDs() const;

    void SetLanguageToForm();
    // After the language changed: the window's texts and every profile's texts.
    void ApplyLanguageChange();
    void ApplyStayOnTop();
    // After an update check: the update link follows UpdateAvailable.
    void LayoutStatusBar();

    // The tray behaviour (a click on the tray icon, "Show\hide app", the second start).
    void TrayIconClick();
    void MinimizeToTray();
    // Shows a hidden or minimised window and raises it (a later start of the program).
    void BringToFront();
    bool MainFormHidden() const { return fMainFormHidden; }

    // The question before deleting; a test may answer it. Yes = true.
    using TDeleteQuestion = std::function<bool(const QString& title, const QString& text)>;
    void SetDeleteQuestion(TDeleteQuestion ask) { fAskDelete = std::move(ask); }

    TProfileListView* ListView() const { return fView; }
    TProfileListModel* Model() const { return fModel; }
    TTrayIcon* Tray() const { return fTray; }
    TStatusBarLinks* StatusLinks() const { return fLinks; }
    QMenu* RowMenu() const { return fRowMenu; }
    QMenu* RowMenuMulti() const { return fRowMenuMulti; }
    // The row menu that the list shows now: the one for several rows while several are selected.
    QMenu* CurrentRowMenu() const { return fCurrentRowMenu; }
    QMenu* SettingsMenu() const { return fSettingsMenu; }
    QMenu* NewProfileMenu() const { return fNewProfileMenu; }
    QMenu* TrayMenu() const { return fTrayMenu; }

signals:
    // The window closed and the program's shutdown has run.
    void closed();
    // The window was hidden (into the tray or the taskbar) or shown again.
    void hiddenChanged(bool hidden);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QAction* NewAction(const char* name, const std::function<void()>& run);
    void BuildMenus();
    void FillList();
    void CentreOnWorkArea();
    void UpdateRowMenu();
    void ShowRowMenu(const QPoint& pos);
    void NotAvailableYet(const QString& command);
    void RunHook(const std::function<void()>& hook, const QString& command);
    // The UID of the one selected row; empty unless exactly one is selected.
    QString SingleSelectedUID() const;
    void SetHidden(bool hidden);
    void Shutdown();

    void CmdRun(bool onlyScan);
    void CmdStop();
    void CmdShowResult();
    void CmdEdit();
    void CmdScript();
    void CmdDelete();
    void CmdCopyUID();
    void CmdNewProfile(TBackupClass kind);
    void CmdGeneralSettings();
    void CmdScheduler();
    void CmdCheckUpdate();
    void OnRowsDropped(const QStringList& moved, const QString& target, bool after);

    TAppContext& fContext;
    TMainWindowStart fStart;
    TMainWindowHooks fHooks;
    TDeleteQuestion fAskDelete;
    bool frmMain_Boot = true;
    bool fMainFormHidden = true;
    bool fFirstShowDone = false;
    bool fShutDown = false;

    std::unique_ptr<TLumoNotificationSettings> fNotifications;
    std::unique_ptr<TWindowQuestions> fQuestions;
    TProfileListModel* fModel = nullptr;
    TProfileListView* fView = nullptr;
    TProfileRowDelegate* fDelegate = nullptr;
    TStatusBarLinks* fLinks = nullptr;
    TTrayIcon* fTray = nullptr;

    QMenu* fRowMenu = nullptr;
    QMenu* fRowMenuMulti = nullptr;
    QMenu* fCurrentRowMenu = nullptr;
    QMenu* fSettingsMenu = nullptr;
    QMenu* fBackupMenu = nullptr;
    QMenu* fAboutMenu = nullptr;
    QMenu* fNewProfileMenu = nullptr;
    QMenu* fTrayMenu = nullptr;

    QAction* miRunTask = nullptr;
    QAction* miAnalysis = nullptr;
    QAction* miStopTask = nullptr;
    QAction* miShowResult = nullptr;
    QAction* miEdit = nullptr;
    QAction* miScript = nullptr;
    QAction* miDelete = nullptr;
    QAction* miCopyUID = nullptr;
    QAction* miGeneral = nullptr;
    QAction* miScheduler = nullptr;
    QAction* miBackupSettings = nullptr;
    QAction* miRestoreSettings = nullptr;
    QAction* miResetSettings = nullptr;
    QAction* miMinimizeToTray = nullptr;
    QAction* miCheckUpdate = nullptr;
    QAction* miVersion = nullptr;
    QAction* miSite = nullptr;
    QAction* miEmail = nullptr;
    QAction* miGroupVk = nullptr;
    QAction* miGroupTelegram = nullptr;
    QAction* miDonate1 = nullptr;
    QAction* miDonate2 = nullptr;
    QAction* miNewSync = nullptr;
    QAction* miNewZip = nullptr;
    QAction* miNewFolderZip = nullptr;
    QAction* miShowHideApp = nullptr;
    QAction* miHideAllNotification = nullptr;
    QAction* miExit = nullptr;
};
