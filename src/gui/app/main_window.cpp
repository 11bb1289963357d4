#include "gui/app/main_window.h"

#include "app/app_context.h"
#include "app/window_commands.h"
#include "gui/app/profile_list_model.h"
#include "gui/app/profile_list_view.h"
#include "gui/app/profile_row_delegate.h"
#include "gui/app/status_bar_links.h"
#include "gui/app/tray_icon.h"
#include "gui/app/window_questions.h"
#include "gui/images/program_images.h"
#include "gui/notify/notifications.h"
#include "gui/ui/standard_dialogs.h"
#include "lang/language.h"
#include "util/version.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 780;
constexpr int kClientHeight = 420;
constexpr int kMinWidth = 720;
constexpr int kMinHeight = 380;
// The image index of a warning popup.
constexpr int kWarningImage = 1;

// The maker's addresses behind the About entries.
const QString kSiteUrl = QStringLiteral("https://norvane.example/backup/");
const QString kEmailUrl = QStringLiteral("mailto:backup@norvane.example");
const QString kVkUrl = QStringLiteral("https://vk.com/norvane_backup");
const QString kTelegramUrl = QStringLiteral("https://t.me/norvane_backup");
const QString kDonateCardUrl = QStringLiteral("https://norvane.example/donate/boosty/");
const QString kDonateOtherUrl = QStringLiteral("https://norvane.example/donate/paypal/");

QString Text(Lng key) { return LngText(key); }

QString WithValue(Lng key, const QString& value) {
    QString text = Text(key);
    return text.replace(QStringLiteral("%s"), value);
}

} // namespace

TfrmMain::TfrmMain(TAppContext& context, TMainWindowStart start, QWidget* parent)
    : QMainWindow(parent), fContext(context), fStart(start) {
    // Tray clicks are refused while the window is being made.
    frmMain_Boot = true;
    fMainFormHidden = true;
    setWindowTitle(QStringLiteral("Norvane Backup"));
    setWindowIcon(ProgramIcon(EProgramImage::ProgramIcon));
    frmMain_Boot = false;

    // The popup manager lives as long as the window unless a test brought its own.
    if (!TLumoNotificationSettings::Current()) {
        fNotifications = std::make_unique<TLumoNotificationSettings>();
        fNotifications->SetDefaultFormSize(318, 118, 8);
        fNotifications->fDefaultShowTime = 5;
        fNotifications->pDontUseTitleLabel = true;
        QFont title = font();
        title.setBold(true);
        title.setPointSize(title.pointSize() + 2);
        fNotifications->SetFonts(title, font());
        fNotifications->pAppName = QStringLiteral("Backup");
    }
    fQuestions = std::make_unique<TWindowQuestions>(this);
    fContext.SetQuestions(fQuestions.get());
    fAskDelete = [this](const QString& title, const QString& text) { return YesNoQuestion(title, text, this) == mrYes; };

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    fModel = new TProfileListModel(fContext.Events(), this);
    fView = new TProfileListView(central);
    fView->setObjectName(QStringLiteral("vdtProfiles"));
    fDelegate = new TProfileRowDelegate(fView);
    fView->setItemDelegate(fDelegate);
    fView->SetProfileModel(fModel);
    fView->setContextMenuPolicy(Qt::CustomContextMenu);
    fLinks = new TStatusBarLinks(central);
    layout->addWidget(fView, 1);
    layout->addWidget(fLinks);
    setCentralWidget(central);

    BuildMenus();
    fTray = new TTrayIcon(fTrayMenu, this);
    if (fContext.Options.ShowTrayIcon)
        fTray->Show();
    ApplyStayOnTop();
    SetLanguageToForm();
    resize(kClientWidth, kClientHeight);
    setMinimumSize(kMinWidth, kMinHeight);
    CentreOnWorkArea();

    connect(fView, &TProfileListView::actionButtonClicked, this,
            [this](const QString& uid) { ToggleProfileRun(fContext, uid); });
    connect(fView, &TProfileListView::rowDoubleClicked, this,
            [this](const QString& uid) { ToggleProfileRun(fContext, uid); });
    connect(fView, &TProfileListView::rowsDropped, this, &TfrmMain::OnRowsDropped);
    connect(fView, &TProfileListView::selectionOrderChanged, this, &TfrmMain::UpdateRowMenu);
    connect(fView, &QWidget::customContextMenuRequested, this, &TfrmMain::ShowRowMenu);
    connect(fModel, &QAbstractItemModel::dataChanged, this, &TfrmMain::UpdateRowMenu);
    connect(&fContext.Events(), &TEngineEvents::queueStateChanged, this, [this](bool running, int) {
        fTray->SetRunning(running);
        // A worker started while the window is hidden yields from its start.
        if (running && fMainFormHidden)
            ApplyTaskPriority(fContext, true);
        UpdateRowMenu();
    });
    connect(&fContext.Events(), &TEngineEvents::notify, this,
            [](const QString& title, const QString& text, TNotifyKind kind) {
                ShowNotification(title, text, static_cast<int>(kind), -1);
            });
    connect(fTray, &TTrayIcon::clicked, this, &TfrmMain::TrayIconClick);
    fLinks->SetMenus(fSettingsMenu, fNewProfileMenu);
    connect(fLinks, &TStatusBarLinks::updateClicked, this, &TfrmMain::CmdCheckUpdate);

    FillList();
    ApplyTaskPriority(fContext, fMainFormHidden);
    fTray->SetRunning(IsQueueRunning(fContext));
    LayoutStatusBar();
    UpdateRowMenu();
}

TfrmMain::~TfrmMain() {
    Shutdown();
    fContext.SetQuestions(nullptr);
}

QAction* TfrmMain::NewAction(const char* name, const std::function<void()>& run) {
    auto* action = new QAction(this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, run);
    return action;
}

void TfrmMain::BuildMenus() {
    miRunTask = NewAction("miRunTask", [this] { CmdRun(false); });
    miAnalysis = NewAction("miAnalysis", [this] { CmdRun(true); });
    miStopTask = NewAction("miStopTask", [this] { CmdStop(); });
    miShowResult = NewAction("miShowResult", [this] { CmdShowResult(); });
    miEdit = NewAction("miEdit", [this] { CmdEdit(); });
    miScript = NewAction("miScript", [this] { CmdScript(); });
    miDelete = NewAction("miDelete", [this] { CmdDelete(); });
    miCopyUID = NewAction("miCopyUID", [this] { CmdCopyUID(); });
    miShowResult->setShortcut(Qt::Key_F3);
    miEdit->setShortcut(Qt::Key_F2);
    miScript->setShortcut(Qt::Key_F4);
    miCopyUID->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));

    fRowMenu = new QMenu(this);
    fRowMenu->setObjectName(QStringLiteral("pmRow"));
    fRowMenu->addAction(miRunTask);
    fRowMenu->setDefaultAction(miRunTask);
    fRowMenu->addAction(miAnalysis);
    fRowMenu->addAction(miStopTask);
    fRowMenu->addSeparator();
    fRowMenu->addAction(miShowResult);
    fRowMenu->addSeparator();
    fRowMenu->addAction(miEdit);
    fRowMenu->addAction(miScript);
    fRowMenu->addSeparator();
    fRowMenu->addAction(miDelete);
    fRowMenu->addSeparator();
    fRowMenu->addAction(miCopyUID);

    fRowMenuMulti = new QMenu(this);
    fRowMenuMulti->setObjectName(QStringLiteral("pmRowMulti"));
    fRowMenuMulti->addAction(miRunTask);
    fRowMenuMulti->addAction(miStopTask);
    fRowMenuMulti->addSeparator();
    fRowMenuMulti->addAction(miDelete);
    fCurrentRowMenu = fRowMenu;

    miGeneral = NewAction("miGeneral", [this] { CmdGeneralSettings(); });
    miScheduler = NewAction("miScheduler", [this] { CmdScheduler(); });
    miBackupSettings = NewAction("miBackupSettings", [this] { RunHook(fHooks.BackupSettings, miBackupSettings->text()); });
    miRestoreSettings =
        NewAction("miRestoreSettings", [this] { RunHook(fHooks.RestoreSettings, miRestoreSettings->text()); });
    miResetSettings = NewAction("miResetSettings", [this] { RunHook(fHooks.ResetSettings, miResetSettings->text()); });
    miMinimizeToTray = NewAction("miMinimizeToTray", [this] { MinimizeToTray(); });
    miMinimizeToTray->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    miCheckUpdate = NewAction("miCheckUpdate", [this] { CmdCheckUpdate(); });
    miVersion = NewAction("miVersion", [] {});
    miVersion->setEnabled(false);
    const auto open = [](const QString& url) { return [url] { QDesktopServices::openUrl(QUrl(url)); }; };
    miSite = NewAction("miSite", open(kSiteUrl));
    miEmail = NewAction("miEmail", open(kEmailUrl));
    miGroupVk = NewAction("miGroupVk", open(kVkUrl));
    miGroupTelegram = NewAction("miGroupTelegram", open(kTelegramUrl));
    miDonate1 = NewAction("miDonate1", open(kDonateCardUrl));
    miDonate2 = NewAction("miDonate2", open(kDonateOtherUrl));

    fSettingsMenu = new QMenu(this);
    fSettingsMenu->setObjectName(QStringLiteral("pmSettings"));
    fSettingsMenu->setToolTipsVisible(true);
    connect(fSettingsMenu, &QMenu::aboutToShow, this,
            [this] { miCheckUpdate->setEnabled(!(fHooks.CheckUpdateRunning && fHooks.CheckUpdateRunning())); });
    fSettingsMenu->addAction(miGeneral);
    fSettingsMenu->addAction(miScheduler);
    fSettingsMenu->addSeparator();
    fBackupMenu = fSettingsMenu->addMenu(QString());
    fBackupMenu->setObjectName(QStringLiteral("pmBackupRestore"));
    fBackupMenu->addAction(miBackupSettings);
    fBackupMenu->addAction(miRestoreSettings);
    fBackupMenu->addSeparator();
    fBackupMenu->addAction(miResetSettings);
    fSettingsMenu->addSeparator();
    fSettingsMenu->addAction(miMinimizeToTray);
    fSettingsMenu->addSeparator();
    fSettingsMenu->addAction(miCheckUpdate);
    fAboutMenu = fSettingsMenu->addMenu(QString());
    fAboutMenu->setObjectName(QStringLiteral("pmAbout"));
    fAboutMenu->addAction(miVersion);
    fAboutMenu->addSeparator();
    fAboutMenu->addAction(miSite);
    fAboutMenu->addAction(miEmail);
    fAboutMenu->addAction(miGroupVk);
    fAboutMenu->addAction(miGroupTelegram);
    fAboutMenu->addSeparator();
    fAboutMenu->addAction(miDonate1);
    fAboutMenu->addAction(miDonate2);

    miNewSync = NewAction("miNewSync", [this] { CmdNewProfile(TBackupClass::bcSync); });
    miNewZip = NewAction("miNewZip", [this] { CmdNewProfile(TBackupClass::bcZip); });
    miNewFolderZip = NewAction("miNewFolderZip", [this] { CmdNewProfile(TBackupClass::bcFolderZip); });
    fNewProfileMenu = new QMenu(this);
    fNewProfileMenu->setObjectName(QStringLiteral("pmNewProfile"));
    fNewProfileMenu->addAction(miNewSync);
    fNewProfileMenu->addAction(miNewZip);
    fNewProfileMenu->addAction(miNewFolderZip);

    miShowHideApp = NewAction("miShowHideApp", [this] { TrayIconClick(); });
    miHideAllNotification = NewAction("miHideAllNotification", [] { HideAllNotifies(); });
    miExit = NewAction("miExit", [this] { close(); });
    fTrayMenu = new QMenu(this);
    fTrayMenu->setObjectName(QStringLiteral("pmTray"));
    fTrayMenu->addAction(miShowHideApp);
    fTrayMenu->addSeparator();
    fTrayMenu->addAction(miHideAllNotification);
    fTrayMenu->addSeparator();
    fTrayMenu->addAction(miExit);

    // The keys work whether a menu is open or not.
    for (QAction* action : {miShowResult, miEdit, miScript, miCopyUID, miMinimizeToTray}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

void TfrmMain::SetLanguageToForm() {
    if (frmMain_Boot)
        return;
    miRunTask->setText(Text(Lng::lng_MF_miRunTask));
    miAnalysis->setText(Text(Lng::lng_MF_miAnalysis));
    miStopTask->setText(Text(Lng::lng_MF_miStopTask));
    miShowResult->setText(Text(Lng::lng_MF_miShowResult));
    miEdit->setText(Text(Lng::lib_lng_btn_Edit));
    miScript->setText(Text(Lng::lng_MF_miScript));
    miDelete->setText(Text(Lng::lib_lng_btn_Delete));
    miCopyUID->setText(Text(Lng::lng_MF_miCopyUID));
    miGeneral->setText(Text(Lng::lng_MF_miGeneral));
    miScheduler->setText(Text(Lng::lng_Scheduler_Title));
    fBackupMenu->setTitle(Text(Lng::lib_lng_RestoreBackup_BackupAndRestore));
    miBackupSettings->setText(Text(Lng::lib_lng_RestoreBackup_DoBackup));
    miRestoreSettings->setText(Text(Lng::lib_lng_RestoreBackup_RestoreSettings));
    miResetSettings->setText(Text(Lng::lib_lng_RestoreBackup_ResetSettings));
    miMinimizeToTray->setText(Text(Lng::lng_MF_miMinimizeToTray));
    // Without a tray the option cannot hide the window; it says so.
    const QString trayNote = fTray && !fTray->Available() ? Text(Lng::lng_MF_TrayUnavailable) : QString();
    miMinimizeToTray->setToolTip(trayNote.isEmpty() ? miMinimizeToTray->text() : trayNote);
    miMinimizeToTray->setStatusTip(trayNote);
    miCheckUpdate->setText(Text(Lng::lng_MF_miCheckUpdate));
    fAboutMenu->setTitle(Text(Lng::lng_MF_miAbout));
    QString version = WithValue(Lng::lng_AboutForm_Version, VersionCaption());
    if (fContext.Options.BetaVersion)
        version += Text(Lng::lng_AboutForm_Beta);
    miVersion->setText(version);
    miSite->setText(Text(Lng::lng_AboutForm_Site));
    miEmail->setText(Text(Lng::lng_AboutForm_Email));
    miGroupVk->setText(Text(Lng::lib_lng_Global_GroupVk));
    miGroupTelegram->setText(Text(Lng::lib_lng_Global_GroupTelegram));
    miDonate1->setText(Text(Lng::lng_AboutForm_Donate) + QStringLiteral(" · Boosty"));
    miDonate2->setText(Text(Lng::lng_AboutForm_Donate) + QStringLiteral(" · PayPal"));
    miNewSync->setText(Text(Lng::lng_MF_miNewSync));
    miNewZip->setText(Text(Lng::lng_MF_miNewZip));
    miNewFolderZip->setText(Text(Lng::lng_MF_miNewFolderZip));
    miShowHideApp->setText(Text(Lng::lng_MF_miShowHideApp));
    miHideAllNotification->setText(Text(Lng::lib_lng_Global_HideAllNotification));
    miExit->setText(Text(Lng::lib_lng_btn_Exit));
    fLinks->SetTexts(Text(Lng::lib_lng_btn_Settings), Text(Lng::lng_MF_lnkNewProfile),
                     Text(Lng::lng_MF_lnkUpdateAvailable));
}

void TfrmMain::ApplyLanguageChange() {
    SetLanguageToForm();
    fContext.RefreshAllProfileTexts();
}

void TfrmMain::ApplyStayOnTop() {
    const bool onTop = fContext.Options.StayOnTop;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing a flag hides a shown window.
    if (wasVisible)
        show();
}

void TfrmMain::LayoutStatusBar() {
    fLinks->SetUpdateVisible(fContext.Options.UpdateAvailable);
    fLinks->SetMaximized(isMaximized());
}

void TfrmMain::CentreOnWorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void TfrmMain::FillList() {
    // The stored order first, then every other profile in load order.
    for (const QString& uid : fContext.DisplayOrderUIDs())
        if (const std::optional<TGL_Profile> row = ProfileRow(fContext, uid))
            fModel->AppendRow(*row);
}

void TfrmMain::AddProfileRow(const QString& uid) {
    if (uid.isEmpty())
        return;
    if (const std::optional<TGL_Profile> row = ProfileRow(fContext, uid)) {
        fModel->AppendRow(*row);
        SetRowOrder(fContext, fModel->UIDs());
    }
}

QStringList TfrmMain::ProfileUIDs() const { return fModel->UIDs(); }

QString TfrmMain::SingleSelectedUID() const {
    const QStringList selected = fView->SelectedUIDs();
    return selected.size() == 1 ? selected.first() : QString();
}

void TfrmMain::UpdateRowMenu() {
    const QStringList selected = fView->SelectedUIDs();
    fCurrentRowMenu = selected.size() > 1 ? fRowMenuMulti : fRowMenu;
    const QString first = selected.isEmpty() ? QString() : selected.first();
    const std::optional<TGL_Profile> row = first.isEmpty() ? std::nullopt : ProfileRow(fContext, first);
    const bool any = row.has_value();
    const bool idle = any && IsProfileIdle(fContext, first);
    const bool hasResult = any && row->tClass != TBackupClass::bcZip;
    miRunTask->setEnabled(idle);
    miEdit->setEnabled(idle);
    miScript->setEnabled(idle);
    miDelete->setEnabled(idle);
    miStopTask->setEnabled(any && !idle);
    miAnalysis->setEnabled(hasResult);
    miShowResult->setEnabled(hasResult);
    miCopyUID->setEnabled(any);
}

void TfrmMain::ShowRowMenu(const QPoint& pos) {
    UpdateRowMenu();
    fCurrentRowMenu->popup(fView->viewport()->mapToGlobal(pos));
}

void TfrmMain::NotAvailableYet(const QString& command) {
    QString title = command;
    title.remove(QLatin1Char('&'));
    ShowNotification(title, Text(Lng::lng_MF_NotAvailableYet), kWarningImage, -1);
}

void TfrmMain::RunHook(const std::function<void()>& hook, const QString& command) {
    if (hook)
        hook();
    else
        NotAvailableYet(command);
}

void TfrmMain::CmdRun(bool onlyScan) {
    for (const QString& uid : fView->SelectedUIDs())
        RunProfile(fContext, uid, onlyScan);
    UpdateRowMenu();
}

void TfrmMain::CmdStop() {
    for (const QString& uid : fView->SelectedUIDs())
        AbortProfile(fContext, uid);
    UpdateRowMenu();
}

void TfrmMain::CmdShowResult() {
    const QString uid = SingleSelectedUID();
    const std::optional<TGL_Profile> row = ProfileRow(fContext, uid);
    if (!row || row->tClass == TBackupClass::bcZip)
        return;
    if (fHooks.ShowResult)
        fHooks.ShowResult(uid);
    else
        NotAvailableYet(miShowResult->text());
}

void TfrmMain::CmdEdit() {
    const QString uid = SingleSelectedUID();
    if (!ProfileRow(fContext, uid))
        return;
    if (fHooks.EditProfile)
        fHooks.EditProfile(uid);
    else
        NotAvailableYet(miEdit->text());
}

void TfrmMain::CmdScript() {
    const QString uid = SingleSelectedUID();
    if (!IsProfileIdle(fContext, uid))
        return;
    if (fHooks.EditScript)
        fHooks.EditScript(uid);
    else
        NotAvailableYet(miScript->text());
}

void TfrmMain::CmdDelete() {
    const QStringList selected = fView->SelectedUIDs();
    if (selected.isEmpty())
        return;
    if (!fAskDelete(Text(Lng::lib_lng_Dlg_Title_DeleteConfirm), Text(Lng::lng_Dialog_ConfirmDeleteText)))
        return;
    // Each deleted profile's row goes with the engine's removal event.
    DeleteIdleProfiles(fContext, selected);
    UpdateRowMenu();
}

void TfrmMain::CmdCopyUID() {
    const QString uid = SingleSelectedUID();
    if (!uid.isEmpty() && ProfileRow(fContext, uid))
        QGuiApplication::clipboard()->setText(uid);
}

void TfrmMain::CmdNewProfile(TBackupClass kind) {
    if (fHooks.NewProfile) {
        fHooks.NewProfile(kind);
        return;
    }
    const QAction* item = kind == TBackupClass::bcSync ? miNewSync : kind == TBackupClass::bcZip ? miNewZip : miNewFolderZip;
    NotAvailableYet(item->text());
}

void TfrmMain::CmdGeneralSettings() {
    if (!fHooks.GeneralSettings) {
        NotAvailableYet(miGeneral->text());
        return;
    }
    const QString language = fContext.Options.Language;
    const bool local = fContext.Options.LanguageLocal;
    fHooks.GeneralSettings();
    ApplyStayOnTop();
    if (fContext.Options.Language != language || fContext.Options.LanguageLocal != local)
        ApplyLanguageChange();
}

void TfrmMain::CmdScheduler() {
    if (fModel->rowCount() == 0)
        ShowNotification(Text(Lng::lib_lng_Dlg_Title_Warning), Text(Lng::lng_Dialog_NoProfilesForScheduler),
                         kWarningImage, -1);
    if (!fHooks.Scheduler) {
        NotAvailableYet(miScheduler->text());
        return;
    }
    // The scheduler takes the window's stay-on-top state; the window steps back meanwhile.
    const bool onTop = fContext.Options.StayOnTop;
    if (onTop) {
        fContext.Options.StayOnTop = false;
        ApplyStayOnTop();
    }
    fHooks.Scheduler();
    if (onTop) {
        fContext.Options.StayOnTop = true;
        ApplyStayOnTop();
    }
}

void TfrmMain::CmdCheckUpdate() {
    if (fHooks.CheckUpdateRunning && fHooks.CheckUpdateRunning())
        return;
    RunHook(fHooks.CheckUpdate, miCheckUpdate->text());
}

void TfrmMain::OnRowsDropped(const QStringList& moved, const QString& target, bool after) {
    if (fModel->MoveRows(moved, target, after))
        SetRowOrder(fContext, fModel->UIDs());
}

void TfrmMain::SetHidden(bool hidden) {
    const bool changed = hidden != fMainFormHidden;
    fMainFormHidden = hidden;
    ApplyTaskPriority(fContext, hidden);
    if (changed)
        emit hiddenChanged(hidden);
}

void TfrmMain::BringToFront() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    // Briefly on top so that it comes in front of other windows.
    if (!fContext.Options.StayOnTop) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        show();
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
        show();
    }
}

void TfrmMain::MinimizeToTray() {
    fTray->Show();
    SetHidden(true);
    if (fTray->Available()) {
        hide();
        return;
    }
    // Without a tray a hidden window could never be brought back: the taskbar keeps it.
    ShowNotification(miMinimizeToTray->text().remove(QLatin1Char('&')), Text(Lng::lng_MF_TrayUnavailable),
                     kWarningImage, -1);
    showMinimized();
}

void TfrmMain::TrayIconClick() {
    if (frmMain_Boot)
        return;
    const bool showing = isVisible() && !isMinimized();
    if (!fContext.Options.ShowTrayIcon) {
        fTray->Hide();
        BringToFront();
        SetHidden(false);
        return;
    }
    if (showing) {
        if (fTray->Available()) {
            hide();
        } else {
            showMinimized();
        }
        SetHidden(true);
        return;
    }
    BringToFront();
    SetHidden(false);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (fFirstShowDone)
        return;
    fFirstShowDone = true;
    if (!isMinimized())
        SetHidden(false);
    if (fStart.ShowBootSettings)
        QMetaObject::invokeMethod(this, [this] { CmdGeneralSettings(); }, Qt::QueuedConnection);
}

void TfrmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    fLinks->SetMaximized(isMaximized());
    // A window minimised to the taskbar counts as hidden for the priority.
    if (isVisible())
        SetHidden(isMinimized());
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    Shutdown();
    event->accept();
    emit closed();
}

void TfrmMain::Shutdown() {
    if (fShutDown)
        return;
    fShutDown = true;
    if (fHooks.StopUpdates)
        fHooks.StopUpdates();
    if (fHooks.ShutdownEngine)
        fHooks.ShutdownEngine();
    else
        ShutdownEngine(fContext);
    fTray->Hide();
    HideAllNotifies();
    if (fNotifications)
        fNotifications->NowDestroy();
}
