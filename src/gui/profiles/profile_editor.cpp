#include "gui/profiles/profile_editor.h"

#include "app/app_context.h"
#include "profiles/task_queue.h"
#include "folderzip/folderzip_task.h"
#include "gui/notify/notifications.h"
#include "gui/profiles/profile_checks.h"
#include "gui/ui/link_controls.h"
#include "gui/ui/link_host.h"
#include "gui/ui/program_link_style.h"
#include "gui/ui/standard_dialogs.h"
#include "gui/util/bounded_spin_box.h"
#include "gui/util/clipboard.h"
#include "gui/util/folder_edit.h"
#include "gui/util/pickers.h"
#include "gui/util/two_folder_dialog.h"
#include "lang/language.h"
#include "profiles/backup_profile.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "util/drives.h"
#include "util/path_delim.h"
#include "util/string_lists.h"
#include "zip/zip_names.h"
#include "zip/zip_task.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStackedWidget>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kWarningImage = 1;
constexpr int kSourceRole = Qt::UserRole;
constexpr int kStorageRole = Qt::UserRole + 1;
constexpr int kIsFolderRole = Qt::UserRole + 2;
const QString kPasswordPlaceholder(TfrmProfile::kPasswordPlaceholderLength, QLatin1Char('*'));

QString Fmt(Lng key, const QString& value) {
    QString text = LngText(key);
    const qsizetype at = text.indexOf(QStringLiteral("%s"));
    return at < 0 ? text : text.replace(at, 2, value);
}

QString Folder(const QString& path) {
    const QString trimmed = path.trimmed();
    return trimmed.isEmpty() ? QString() : IncludeBackslash(trimmed);
}

// The masks every new job starts with: the system's own folders of a
// removable disk that nobody wants copied.
QStringList SystemFolderMasks() {
    const QChar d = kPathDelim;
    return {d + QStringLiteral("System Volume Information") + d, d + QStringLiteral("$Recycle.Bin") + d,
            d + QStringLiteral("RECYCLER") + d, d + QStringLiteral("RECYCLED") + d};
}

QStringList ExcludeTemplateMasks() {
    return SystemFolderMasks() +
           QStringList{QStringLiteral("*.bak"), QStringLiteral("*.~*"), QStringLiteral("*.old"), QStringLiteral("thumbs.db")};
}

QStringList Lines(const QPlainTextEdit* edit) {
    QStringList lines;
    for (const QString& line : edit->toPlainText().split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line;
    return lines;
}

// How many volumes the paths lie on; paths whose volume is unknown do not count.
int VolumeCount(const QStringList& paths) {
    QSet<QString> volumes;
    for (const QString& path : paths) {
        const QString mountPoint = MountPointOf(path);
        if (!mountPoint.isEmpty())
            volumes.insert(mountPoint);
    }
    return static_cast<int>(volumes.size());
}

QLabel* Header(QWidget* page) {
    auto* label = new QLabel(page);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TfrmProfile::TfrmProfile(TAppContext& context, QWidget* parent) : QDialog(parent), fContext(context) {
    setObjectName(QStringLiteral("TfrmProfile"));
    setModal(true);
    BuildWindow();
    SetLanguageToForm();
}

// The link goes before the style it is drawn in.
TfrmProfile::~TfrmProfile() { delete lnkExcludeTemplate; }

// ---- building ------------------------------------------------------------

QLineEdit* TfrmProfile::MakeEdit(const char* name, QWidget* page) {
    auto* edit = new QLineEdit(page);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QLineEdit* TfrmProfile::MakeDiskField(const char* name, QWidget* page, QString TfrmProfile::*id) {
    QLineEdit* edit = MakeEdit(name, page);
    edit->setReadOnly(true);
    AddFieldButton(edit, true, QStringLiteral("clear"), [this, edit, id] {
        this->*id = QString();
        ShowDiskID(edit, QString());
        SetModified();
    });
    AddFieldButton(edit, false, QStringLiteral("drive"), [this, edit, id] { ChooseDiskID(edit, id); });
    return edit;
}

QLineEdit* TfrmProfile::MakePasswordField(const char* name, QWidget* page) {
    QLineEdit* edit = MakeEdit(name, page);
    edit->setEchoMode(QLineEdit::Password);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this] { fPassModified = true; });
    AddPasteButton(edit, 50, [this] { fPassModified = true; });
    return edit;
}

void TfrmProfile::ChainEnter(const QList<QLineEdit*>& fields) {
    for (QLineEdit* field : fields) {
        field->installEventFilter(this);
        field->setProperty("nextField", QVariant());
    }
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QWidget* next = i + 1 < fields.size() ? static_cast<QWidget*>(fields[i + 1]) : static_cast<QWidget*>(btnApply);
        fields[i]->setProperty("nextField", QVariant::fromValue(static_cast<QObject*>(next)));
    }
}

void TfrmProfile::WatchChanges(QWidget* page) {
    const auto changed = [this] {
        if (!fFilling)
            SetModified();
    };
    for (QLineEdit* edit : page->findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textEdited, this, changed);
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
        if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button))
            connect(button, &QAbstractButton::toggled, this, changed);
    for (QSpinBox* spin : page->findChildren<QSpinBox*>())
        connect(spin, &QSpinBox::textChanged, this, changed);
    for (QPlainTextEdit* edit : page->findChildren<QPlainTextEdit*>())
        connect(edit, &QPlainTextEdit::textChanged, this, changed);
    for (QComboBox* box : page->findChildren<QComboBox*>())
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this, changed);
}

void TfrmProfile::BuildWindow() {
    auto* root = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    lstItems = new QListWidget(this);
    lstItems->setObjectName(QStringLiteral("lstItems"));
    lstItems->setFixedWidth(190);
    lstItems->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstItems->setIconSize(QSize(20, 20));
    body->addWidget(lstItems);

    auto* right = new QVBoxLayout;
    lblPageTitle = Header(this);
    lblPageTitle->setObjectName(QStringLiteral("lblPageTitle"));
    right->addWidget(lblPageTitle);
    pages = new QStackedWidget(this);
    right->addWidget(pages, 1);
    body->addLayout(right, 1);
    root->addLayout(body, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    btnApply = new QPushButton(this);
    btnApply->setObjectName(QStringLiteral("btnApply"));
    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    bottom->addWidget(btnApply);
    bottom->addWidget(btnClose);
    root->addLayout(bottom);
    connect(btnApply, &QPushButton::clicked, this, [this] { btnApplyFormClick(); });
    connect(btnClose, &QPushButton::clicked, this, &TfrmProfile::reject);

    pgSync = BuildSyncPage();
    pgZip = BuildZipPage();
    pgFolderZip = BuildFolderZipPage();
    pgMain = BuildMainPage();
    pgSyncPairs = BuildSyncPairsPage();
    pgZipElements = BuildZipElementsPage();
    pgFolderExclude = BuildFolderExcludePage();
    pgExclude = BuildExcludePage();
    for (QWidget* page : {pgSync, pgZip, pgFolderZip, pgMain, pgSyncPairs, pgZipElements, pgFolderExclude, pgExclude}) {
        pages->addWidget(page);
        WatchChanges(page);
    }
    connect(lstItems, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ShowPage(row);
    });
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button != btnApply)
            button->setAutoDefault(false);
    for (TBoundedSpinBox* number : findChildren<TBoundedSpinBox*>())
        number->setMaximumWidth(120);
    resize(780, 560);
}

QWidget* TfrmProfile::BuildSyncPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pgSync"));
    auto* grid = new QGridLayout(page);
    int row = 0;
    lblSyncTitle = new QLabel(page);
    edtSyncTitle = MakeEdit("edtSyncTitle", page);
    edtSyncTitle->setMaxLength(TLumo_Sync::kMaxTitleLength);
    AddPasteButton(edtSyncTitle, TLumo_Sync::kMaxTitleLength);
    grid->addWidget(lblSyncTitle, row, 0);
    grid->addWidget(edtSyncTitle, row++, 1, 1, 2);
    chkSyncAutoMode = new QCheckBox(page);
    chkSyncAutoMode->setObjectName(QStringLiteral("chkSyncAutoMode"));
    grid->addWidget(chkSyncAutoMode, row++, 1, 1, 2);

    lblCompare = Header(page);
    grid->addWidget(lblCompare, row++, 0, 1, 3);
    rbCompareTimeSize = new QRadioButton(page);
    rbCompareTimeSize->setObjectName(QStringLiteral("rbCompareTimeSize"));
    rbCompareSize = new QRadioButton(page);
    rbCompareSize->setObjectName(QStringLiteral("rbCompareSize"));
    auto* compare = new QButtonGroup(page);
    compare->addButton(rbCompareTimeSize);
    compare->addButton(rbCompareSize);
    grid->addWidget(rbCompareTimeSize, row++, 1, 1, 2);
    grid->addWidget(rbCompareSize, row++, 1, 1, 2);

    lblSyncDelete = Header(page);
    grid->addWidget(lblSyncDelete, row++, 0, 1, 3);
    rbSyncDelRecycle = new QRadioButton(page);
    rbSyncDelRecycle->setObjectName(QStringLiteral("rbSyncDelRecycle"));
    rbSyncDelPermanent = new QRadioButton(page);
    rbSyncDelPermanent->setObjectName(QStringLiteral("rbSyncDelPermanent"));
    auto* deletion = new QButtonGroup(page);
    deletion->addButton(rbSyncDelRecycle);
    deletion->addButton(rbSyncDelPermanent);
    auto* deleteRow = new QHBoxLayout;
    deleteRow->addWidget(rbSyncDelRecycle);
    deleteRow->addWidget(rbSyncDelPermanent);
    deleteRow->addStretch();
    grid->addLayout(deleteRow, row++, 1, 1, 2);

    lblSkip = Header(page);
    grid->addWidget(lblSkip, row++, 0, 1, 3);
    chkSkipHidden = new QCheckBox(page);
    chkSkipHidden->setObjectName(QStringLiteral("chkSkipHidden"));
    grid->addWidget(chkSkipHidden, row++, 1, 1, 2);
    chkSkipLarge = new QCheckBox(page);
    chkSkipLarge->setObjectName(QStringLiteral("chkSkipLarge"));
    spnBigFileSize = new TBoundedSpinBox(TLumo_Sync::kMinBigFileSize, TLumo_Sync::kMaxBigFileSize, page);
    spnBigFileSize->setObjectName(QStringLiteral("spnBigFileSize"));
    spnBigFileSize->setSuffix(QStringLiteral(" MB"));
    grid->addWidget(chkSkipLarge, row, 1);
    grid->addWidget(spnBigFileSize, row++, 2);
    connect(chkSkipLarge, &QCheckBox::toggled, this, &TfrmProfile::UpdateEnabled);

    lblSyncDisks = Header(page);
    grid->addWidget(lblSyncDisks, row++, 0, 1, 3);
    lblSyncDiskSource = new QLabel(page);
    edtSyncDiskSource = MakeDiskField("edtSyncDiskSource", page, &TfrmProfile::fIDSource);
    grid->addWidget(lblSyncDiskSource, row, 0);
    grid->addWidget(edtSyncDiskSource, row++, 1, 1, 2);
    lblSyncDiskStorage = new QLabel(page);
    edtSyncDiskStorage = MakeDiskField("edtSyncDiskStorage", page, &TfrmProfile::fIDStorage);
    grid->addWidget(lblSyncDiskStorage, row, 0);
    grid->addWidget(edtSyncDiskStorage, row++, 1, 1, 2);
    lblSyncDisksHint = new QLabel(page);
    lblSyncDisksHint->setWordWrap(true);
    grid->addWidget(lblSyncDisksHint, row++, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    ChainEnter({edtSyncTitle});
    return page;
}

QWidget* TfrmProfile::BuildZipPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pgZip"));
    auto* grid = new QGridLayout(page);
    int row = 0;
    lblZipTitle = new QLabel(page);
    edtZipTitle = MakeEdit("edtZipTitle", page);
    edtZipTitle->setMaxLength(TLumo_Zip::kMaxTitleLength);
    AddPasteButton(edtZipTitle, TLumo_Zip::kMaxTitleLength);
    grid->addWidget(lblZipTitle, row, 0);
    grid->addWidget(edtZipTitle, row++, 1, 1, 3);

    lblZipFilename = new QLabel(page);
    edtZipFilename = MakeEdit("edtZipFilename", page);
    mnuFilename = new QMenu(this);
    mnuFilename->setObjectName(QStringLiteral("mnuFilename"));
    AddFieldButton(edtZipFilename, false, QStringLiteral("menu"), [this] {
        mnuFilename->popup(edtZipFilename->mapToGlobal(QPoint(edtZipFilename->width() - 20, edtZipFilename->height())));
    });
    grid->addWidget(lblZipFilename, row, 0);
    grid->addWidget(edtZipFilename, row++, 1, 1, 3);

    lblZipFolder = new QLabel(page);
    edtZipFolder = MakeEdit("edtZipFolder", page);
    AddFolderButton(edtZipFolder);
    grid->addWidget(lblZipFolder, row, 0);
    grid->addWidget(edtZipFolder, row++, 1, 1, 3);

    lblZipPassword = new QLabel(page);
    edtZipPassword = MakePasswordField("edtZipPassword", page);
    grid->addWidget(lblZipPassword, row, 0);
    grid->addWidget(edtZipPassword, row++, 1, 1, 3);

    lblZipCompression = new QLabel(page);
    spnZipCompression = new TBoundedSpinBox(0, 9, page);
    spnZipCompression->setObjectName(QStringLiteral("spnZipCompression"));
    grid->addWidget(lblZipCompression, row, 0);
    grid->addWidget(spnZipCompression, row++, 1);

    lblVersions = Header(page);
    grid->addWidget(lblVersions, row++, 0, 1, 4);
    chkUseVersion = new QCheckBox(page);
    chkUseVersion->setObjectName(QStringLiteral("chkUseVersion"));
    grid->addWidget(chkUseVersion, row++, 1, 1, 3);
    rbItemsCount = new QRadioButton(page);
    rbItemsCount->setObjectName(QStringLiteral("rbItemsCount"));
    rbItemsDays = new QRadioButton(page);
    rbItemsDays->setObjectName(QStringLiteral("rbItemsDays"));
    auto* versions = new QButtonGroup(page);
    versions->addButton(rbItemsCount);
    versions->addButton(rbItemsDays);
    spnVersions = new TBoundedSpinBox(TLumo_Zip::kMinVersions, TLumo_Zip::kMaxVersions, page);
    spnVersions->setObjectName(QStringLiteral("spnVersions"));
    grid->addWidget(rbItemsCount, row, 1);
    grid->addWidget(spnVersions, row++, 2);
    grid->addWidget(rbItemsDays, row++, 1);
    connect(chkUseVersion, &QCheckBox::toggled, this, &TfrmProfile::UpdateEnabled);

    chkZipSpan = new QCheckBox(page);
    chkZipSpan->setObjectName(QStringLiteral("chkZipSpan"));
    spnZipSpan = new TBoundedSpinBox(TLumo_Zip::kMinSpanSize, TLumo_Zip::kMaxSpanSize, page);
    spnZipSpan->setObjectName(QStringLiteral("spnZipSpan"));
    grid->addWidget(chkZipSpan, row, 1);
    grid->addWidget(spnZipSpan, row++, 2);
    connect(chkZipSpan, &QCheckBox::toggled, this, &TfrmProfile::UpdateEnabled);

    lblZipDisks = Header(page);
    grid->addWidget(lblZipDisks, row++, 0, 1, 4);
    lblZipDiskSource = new QLabel(page);
    edtZipDiskSource = MakeDiskField("edtZipDiskSource", page, &TfrmProfile::fIDSource);
    grid->addWidget(lblZipDiskSource, row, 0);
    grid->addWidget(edtZipDiskSource, row++, 1, 1, 3);
    lblZipDiskStorage = new QLabel(page);
    edtZipDiskStorage = MakeDiskField("edtZipDiskStorage", page, &TfrmProfile::fIDStorage);
    grid->addWidget(lblZipDiskStorage, row, 0);
    grid->addWidget(edtZipDiskStorage, row++, 1, 1, 3);
    lblZipDisksHint = new QLabel(page);
    lblZipDisksHint->setWordWrap(true);
    grid->addWidget(lblZipDisksHint, row++, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(row, 1);

    // The file-name template menu.
    const auto placeholder = [this](const char* name, const QString& text, QMenu* menu) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, text] { InsertFilenamePlaceholder(text); });
        return action;
    };
    QMenu* date = mnuFilename->addMenu(QString());
    date->setObjectName(QStringLiteral("mnuDate"));
    placeholder("miFullDate", QStringLiteral("%Y-%M-%D"), date);
    date->addSeparator();
    placeholder("miYear", QStringLiteral("%Y"), date);
    placeholder("miMonth", QStringLiteral("%M"), date);
    placeholder("miDay", QStringLiteral("%D"), date);
    QMenu* time = mnuFilename->addMenu(QString());
    time->setObjectName(QStringLiteral("mnuTime"));
    placeholder("miFullTime", QStringLiteral("%H-%N-%S"), time);
    time->addSeparator();
    placeholder("miHour", QStringLiteral("%H"), time);
    placeholder("miMinute", QStringLiteral("%N"), time);
    placeholder("miSecond", QStringLiteral("%S"), time);
    mnuFilename->addSeparator();
    QAction* paste = mnuFilename->addAction(QString());
    paste->setObjectName(QStringLiteral("miPaste"));
    connect(paste, &QAction::triggered, this, [this] {
        edtZipFilename->setText(ClipboardText(90));
        SetModified();
    });
    QAction* result = mnuFilename->addAction(QString());
    result->setObjectName(QStringLiteral("miShowResult"));
    connect(result, &QAction::triggered, this, &TfrmProfile::ShowFilenameResult);

    ChainEnter({edtZipTitle, edtZipFilename, edtZipFolder, edtZipPassword});
    return page;
}

QWidget* TfrmProfile::BuildFolderZipPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pgFolderZip"));
    auto* grid = new QGridLayout(page);
    int row = 0;
    lblFzTitle = new QLabel(page);
    edtFzTitle = MakeEdit("edtFzTitle", page);
    edtFzTitle->setMaxLength(TLumo_FolderZip::kMaxTitleLength);
    AddPasteButton(edtFzTitle, TLumo_FolderZip::kMaxTitleLength);
    grid->addWidget(lblFzTitle, row, 0);
    grid->addWidget(edtFzTitle, row++, 1, 1, 3);
    lblFzSource = new QLabel(page);
    edtFzSource = MakeEdit("edtFzSource", page);
    AddFolderButton(edtFzSource);
    grid->addWidget(lblFzSource, row, 0);
    grid->addWidget(edtFzSource, row++, 1, 1, 3);
    lblFzStorage = new QLabel(page);
    edtFzStorage = MakeEdit("edtFzStorage", page);
    AddFolderButton(edtFzStorage);
    grid->addWidget(lblFzStorage, row, 0);
    grid->addWidget(edtFzStorage, row++, 1, 1, 3);
    lblFzPassword = new QLabel(page);
    edtFzPassword = MakePasswordField("edtFzPassword", page);
    grid->addWidget(lblFzPassword, row, 0);
    grid->addWidget(edtFzPassword, row++, 1, 1, 3);
    lblFzCompression = new QLabel(page);
    spnFzCompression = new TBoundedSpinBox(0, 9, page);
    spnFzCompression->setObjectName(QStringLiteral("spnFzCompression"));
    grid->addWidget(lblFzCompression, row, 0);
    grid->addWidget(spnFzCompression, row++, 1);

    chkCleanFolder = new QCheckBox(page);
    chkCleanFolder->setObjectName(QStringLiteral("chkCleanFolder"));
    grid->addWidget(chkCleanFolder, row++, 1, 1, 3);
    lblCleanFolder = new QLabel(page);
    lblCleanFolder->setWordWrap(true);
    grid->addWidget(lblCleanFolder, row++, 1, 1, 3);
    lblFzDelete = new QLabel(page);
    rbFzDelRecycle = new QRadioButton(page);
    rbFzDelRecycle->setObjectName(QStringLiteral("rbFzDelRecycle"));
    rbFzDelPermanent = new QRadioButton(page);
    rbFzDelPermanent->setObjectName(QStringLiteral("rbFzDelPermanent"));
    auto* deletion = new QButtonGroup(page);
    deletion->addButton(rbFzDelRecycle);
    deletion->addButton(rbFzDelPermanent);
    auto* deleteRow = new QHBoxLayout;
    deleteRow->addWidget(lblFzDelete);
    deleteRow->addWidget(rbFzDelRecycle);
    deleteRow->addWidget(rbFzDelPermanent);
    deleteRow->addStretch();
    grid->addLayout(deleteRow, row++, 1, 1, 3);
    connect(chkCleanFolder, &QCheckBox::toggled, this, &TfrmProfile::UpdateEnabled);

    chkFzSpan = new QCheckBox(page);
    chkFzSpan->setObjectName(QStringLiteral("chkFzSpan"));
    spnFzSpan = new TBoundedSpinBox(TLumo_Zip::kMinSpanSize, TLumo_Zip::kMaxSpanSize, page);
    spnFzSpan->setObjectName(QStringLiteral("spnFzSpan"));
    grid->addWidget(chkFzSpan, row, 1);
    grid->addWidget(spnFzSpan, row++, 2);
    connect(chkFzSpan, &QCheckBox::toggled, this, &TfrmProfile::UpdateEnabled);

    lblFzDisks = Header(page);
    grid->addWidget(lblFzDisks, row++, 0, 1, 4);
    lblFzDiskSource = new QLabel(page);
    edtFzDiskSource = MakeDiskField("edtFzDiskSource", page, &TfrmProfile::fIDSource);
    grid->addWidget(lblFzDiskSource, row, 0);
    grid->addWidget(edtFzDiskSource, row++, 1, 1, 3);
    lblFzDiskStorage = new QLabel(page);
    edtFzDiskStorage = MakeDiskField("edtFzDiskStorage", page, &TfrmProfile::fIDStorage);
    grid->addWidget(lblFzDiskStorage, row, 0);
    grid->addWidget(edtFzDiskStorage, row++, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(row, 1);
    ChainEnter({edtFzTitle, edtFzSource, edtFzStorage, edtFzPassword});
    return page;
}

QWidget* TfrmProfile::BuildMainPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pgMain"));
    auto* box = new QVBoxLayout(page);
    const auto check = [page, box](const char* name) {
        auto* c = new QCheckBox(page);
        c->setObjectName(QString::fromLatin1(name));
        box->addWidget(c);
        return c;
    };
    chkAutorun = check("chkAutorun");
    chkDelayedStart = check("chkDelayedStart");
    chkLowPriority = check("chkLowPriority");
    chkShowTray = check("chkShowTray");
    chkStayOnTop = check("chkStayOnTop");
    chkShowIcons = check("chkShowIcons");
    chkAutoUpdate = check("chkAutoUpdate");
    chkBeta = check("chkBeta");
    lblMisc = Header(page);
    box->addWidget(lblMisc);
    chkPortable = check("chkPortable");
    auto* lang = new QHBoxLayout;
    lblLang = new QLabel(page);
    cmbLanguage = new QComboBox(page);
    cmbLanguage->setObjectName(QStringLiteral("cmbLanguage"));
    cmbLanguage->setMinimumWidth(220);
    lang->addWidget(lblLang);
    lang->addWidget(cmbLanguage);
    lang->addStretch();
    box->addLayout(lang);
    box->addStretch();
    return page;
}

QWidget* TfrmProfile::BuildSyncPairsPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pgSyncPairs"));
    auto* box = new QVBoxLayout(page);
    lstSyncPairs = new QListWidget(page);
    lstSyncPairs->setObjectName(QStringLiteral("lstSyncPairs"));
    lstSyncPairs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstSyncPairs->setAlternatingRowColors(true);
    box->addWidget(lstSyncPairs, 1);
    auto* buttons = new QHBoxLayout;
    btnSyncAdd = new QPushButton(page);
    btnSyncAdd->setObjectName(QStringLiteral("btnSyncAdd"));
    btnSyncEdit = new QPushButton(page);
    btnSyncEdit->setObjectName(QStringLiteral("btnSyncEdit"));
    btnSyncDelete = new QPushButton(page);
    btnSyncDelete->setObjectName(QStringLiteral("btnSyncDelete"));
    buttons->addWidget(btnSyncAdd);
    buttons->addWidget(btnSyncEdit);
    buttons->addWidget(btnSyncDelete);
    buttons->addStretch();
    box->addLayout(buttons);
    connect(btnSyncAdd, &QPushButton::clicked, this, &TfrmProfile::AddSyncPair);
    connect(btnSyncEdit, &QPushButton::clicked, this, &TfrmProfile::EditSyncPair);
    connect(btnSyncDelete, &QPushButton::clicked, this, &TfrmProfile::DeleteSyncPairs);
    connect(lstSyncPairs, &QListWidget::itemDoubleClicked, this, &TfrmProfile::EditSyncPair);
    connect(lstSyncPairs, &QListWidget::itemSelectionChanged, this, &TfrmProfile::UpdateEnabled);
    return page;
}

QWidget* TfrmProfile::BuildZipElementsPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pgZipElements"));
    auto* box = new QVBoxLayout(page);
    lstZipElements = new QListWidget(page);
    lstZipElements->setObjectName(QStringLiteral("lstZipElements"));
    lstZipElements->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstZipElements->setAcceptDrops(true);
    lstZipElements->viewport()->setAcceptDrops(true);
    lstZipElements->setDragDropMode(QAbstractItemView::DropOnly);
    lstZipElements->viewport()->installEventFilter(this);
    box->addWidget(lstZipElements, 1);
    auto* buttons = new QHBoxLayout;
    btnZipAddFolder = new QPushButton(page);
    btnZipAddFolder->setObjectName(QStringLiteral("btnZipAddFolder"));
    btnZipAddFiles = new QPushButton(page);
    btnZipAddFiles->setObjectName(QStringLiteral("btnZipAddFiles"));
    btnZipEdit = new QPushButton(page);
    btnZipEdit->setObjectName(QStringLiteral("btnZipEdit"));
    btnZipDelete = new QPushButton(page);
    btnZipDelete->setObjectName(QStringLiteral("btnZipDelete"));
    for (QPushButton* b : {btnZipAddFolder, btnZipAddFiles, btnZipEdit, btnZipDelete})
        buttons->addWidget(b);
    buttons->addStretch();
    box->addLayout(buttons);
    connect(btnZipAddFolder, &QPushButton::clicked, this, &TfrmProfile::AddZipFolder);
    connect(btnZipAddFiles, &QPushButton::clicked, this, &TfrmProfile::AddZipFiles);
    connect(btnZipEdit, &QPushButton::clicked, this, &TfrmProfile::EditZipElement);
    connect(btnZipDelete, &QPushButton::clicked, this, &TfrmProfile::DeleteZipElements);
    connect(lstZipElements, &QListWidget::itemDoubleClicked, this, &TfrmProfile::EditZipElement);
    connect(lstZipElements, &QListWidget::itemSelectionChanged, this, &TfrmProfile::UpdateEnabled);
    return page;
}

QWidget* TfrmProfile::BuildFolderExcludePage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pgFolderExclude"));
    auto* box = new QVBoxLayout(page);
    memFolderExclude = new QPlainTextEdit(page);
    memFolderExclude->setObjectName(QStringLiteral("memFolderExclude"));
    memFolderExclude->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->addWidget(memFolderExclude);
    return page;
}

QWidget* TfrmProfile::BuildExcludePage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pgExclude"));
    auto* box = new QVBoxLayout(page);
    memExclude = new QPlainTextEdit(page);
    memExclude->setObjectName(QStringLiteral("memExclude"));
    memExclude->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->addWidget(memExclude, 1);
    auto* row = new QHBoxLayout;
    fLinkStyle = std::make_unique<TProgramLinkStyle>();
    fLinkStyle->Style()->FFont = font();
    auto* link = new TLumo_Link(fLinkStyle->Style(), nullptr, -1);
    link->pLabel->setObjectName(QStringLiteral("lnkExcludeTemplate"));
    link->SetOnClick([this](TLumo_Link&) { ApplyExcludeTemplate(); });
    lnkExcludeTemplate = new TLinkHost(link, page);
    row->addWidget(lnkExcludeTemplate);
    row->addStretch();
    box->addLayout(row);
    return page;
}

// ---- language --------------------------------------------------------------

void TfrmProfile::SetLanguageToForm() {
    const auto t = [](Lng key) { return LngText(key); };
    // Sync.
    lblSyncTitle->setText(t(Lng::lib_lng_Edit_Title));
    chkSyncAutoMode->setText(t(Lng::lng_SetF_chkAutoMode));
    lblCompare->setText(t(Lng::lng_SetF_lblCompare));
    rbCompareTimeSize->setText(t(Lng::lng_SetF_rbCompareTimeSize));
    rbCompareSize->setText(t(Lng::lng_SetF_rbCompareSize));
    lblSyncDelete->setText(t(Lng::lng_Global_lblDeleteElements));
    rbSyncDelRecycle->setText(t(Lng::lng_Global_rbDelToRecycleBin));
    rbSyncDelPermanent->setText(t(Lng::lng_Global_rbDelPermanent));
    lblSkip->setText(t(Lng::lng_SetF_lblSkipFileSettings));
    chkSkipHidden->setText(t(Lng::lng_SetF_chkSkipHiddenSystem));
    chkSkipLarge->setText(t(Lng::lng_SetF_chkSkipLargeFiles));
    for (QLabel* l : {lblSyncDisks, lblZipDisks, lblFzDisks})
        l->setText(t(Lng::lng_SetF_lblUseDisksID));
    for (QLabel* l : {lblSyncDiskSource, lblZipDiskSource, lblFzDiskSource})
        l->setText(t(Lng::lib_lng_Edit_SourceDisk));
    for (QLabel* l : {lblSyncDiskStorage, lblZipDiskStorage, lblFzDiskStorage})
        l->setText(t(Lng::lib_lng_Edit_StorageDisk));
    for (QLabel* l : {lblSyncDisksHint, lblZipDisksHint})
        l->setText(t(Lng::lng_SetF_txtUseDisksID));
    btnSyncAdd->setText(t(Lng::lib_lng_btn_Add));
    btnSyncEdit->setText(t(Lng::lib_lng_btn_Edit));
    btnSyncDelete->setText(t(Lng::lib_lng_btn_Delete));
    // Archive backup.
    lblZipTitle->setText(t(Lng::lib_lng_Edit_Title));
    lblZipFilename->setText(t(Lng::lib_lng_Edit_Filename));
    lblZipFolder->setText(t(Lng::lib_lng_Edit_Folder));
    lblZipPassword->setText(t(Lng::lib_lng_Edit_Password));
    lblZipCompression->setText(t(Lng::lng_Edit_CompressionLevel) + QLatin1Char(':'));
    lblVersions->setText(t(Lng::lng_SetF_lnkVersions));
    chkUseVersion->setText(t(Lng::lng_SetF_chkUseVersion));
    rbItemsCount->setText(t(Lng::lng_SetF_rbItemsCount));
    rbItemsDays->setText(t(Lng::lng_SetF_rbItemsDays));
    chkZipSpan->setText(t(Lng::lng_SetF_txtSpanZip));
    btnZipAddFolder->setText(t(Lng::lib_lng_btn_AddFolder));
    btnZipAddFiles->setText(t(Lng::lib_lng_btn_AddFiles));
    btnZipEdit->setText(t(Lng::lib_lng_btn_Edit));
    btnZipDelete->setText(t(Lng::lib_lng_btn_Delete));
    if (QMenu* date = mnuFilename->findChild<QMenu*>(QStringLiteral("mnuDate")))
        date->setTitle(t(Lng::lng_MenuItem_Date));
    if (QMenu* time = mnuFilename->findChild<QMenu*>(QStringLiteral("mnuTime")))
        time->setTitle(t(Lng::lng_MenuItem_Time));
    const struct {
        const char* name;
        Lng text;
        const char* placeholder;
    } items[] = {{"miFullDate", Lng::lng_MenuItem_FullDate, "%Y-%M-%D"}, {"miYear", Lng::lng_MenuItem_DateYear, "%Y"},
                 {"miMonth", Lng::lng_MenuItem_DateMonth, "%M"},       {"miDay", Lng::lng_MenuItem_DateDay, "%D"},
                 {"miFullTime", Lng::lng_MenuItem_FullTime, "%H-%N-%S"}, {"miHour", Lng::lng_MenuItem_TimeHour, "%H"},
                 {"miMinute", Lng::lng_MenuItem_TimeMin, "%N"},        {"miSecond", Lng::lng_MenuItem_TimeSec, "%S"}};
    for (const auto& item : items)
        if (QAction* a = mnuFilename->findChild<QAction*>(QString::fromLatin1(item.name)))
            a->setText(t(item.text) + QStringLiteral("\t") + QString::fromLatin1(item.placeholder));
    if (QAction* a = mnuFilename->findChild<QAction*>(QStringLiteral("miPaste")))
        a->setText(t(Lng::lng_MenuItem_Paste));
    if (QAction* a = mnuFilename->findChild<QAction*>(QStringLiteral("miShowResult")))
        a->setText(t(Lng::lng_MenuItem_ShowResult));
    // Folder archiving.
    lblFzTitle->setText(t(Lng::lib_lng_Edit_Title));
    lblFzSource->setText(t(Lng::lib_lng_Edit_SourceFolder));
    lblFzStorage->setText(t(Lng::lib_lng_Edit_StorageFolder));
    lblFzPassword->setText(t(Lng::lib_lng_Edit_Password));
    lblFzCompression->setText(t(Lng::lng_Edit_CompressionLevel) + QLatin1Char(':'));
    chkCleanFolder->setText(t(Lng::lng_SetF_chkCleanFolder));
    lblCleanFolder->setText(t(Lng::lng_SetF_lblCleanFolder));
    lblFzDelete->setText(t(Lng::lng_Global_lblDeleteElements));
    rbFzDelRecycle->setText(t(Lng::lng_Global_rbDelToRecycleBin));
    rbFzDelPermanent->setText(t(Lng::lng_Global_rbDelPermanent));
    chkFzSpan->setText(t(Lng::lng_SetF_txtSpanZip));
    // Exclusions.
    lnkExcludeTemplate->Link()->SetCaption(t(Lng::lng_SetF_lnkExcludeTemplate));
    // General settings.
    chkAutorun->setText(t(Lng::lib_lng_Global_Autorun));
    chkDelayedStart->setText(t(Lng::lng_SetF_chkAppDelayedStart));
    chkLowPriority->setText(t(Lng::lng_SetF_chkLowPriorityWhenHiden));
    chkShowTray->setText(t(Lng::lib_lng_Global_ShowInTray));
    chkStayOnTop->setText(t(Lng::lib_lng_Global_StayOnTop));
    chkShowIcons->setText(t(Lng::lng_SetF_chkShowIconsInResult));
    chkAutoUpdate->setText(t(Lng::lib_lng_Global_AutoUpdateCheck));
    chkBeta->setText(t(Lng::lib_lng_Update_UpdateToBeta));
    lblMisc->setText(t(Lng::lng_SetF_lblMiscellaneous));
    chkPortable->setText(t(Lng::lib_lng_Global_PortableVersion));
    lblLang->setText(t(Lng::lng_SetF_lblLang));
    btnClose->setText(t(Lng::lib_lng_btn_Close));

    // The parts that depend on what the window shows.
    btnApply->setText(fNowDropZip || !fCurrentUID.isEmpty() ? t(Lng::lib_lng_btn_Apply) : t(Lng::lib_lng_btn_Add));
    if (fNowDropZip) {
        setWindowTitle(t(Lng::lng_SetF_txtMainAppSettings));
    } else if (!fCurrentUID.isEmpty()) {
        const TLumo_BackupProfile* profile = fContext.FindProfileByUID(fCurrentUID);
        setWindowTitle(Fmt(Lng::lng_SetF_txtTitleEdit, profile ? profile->Title() : QString()));
    } else {
        const Lng kindName = fCurrentType == TBackupClass::bcSync  ? Lng::lng_MF_miNewSync
                             : fCurrentType == TBackupClass::bcZip ? Lng::lng_MF_miNewZip
                                                                   : Lng::lng_MF_miNewFolderZip;
        setWindowTitle(Fmt(Lng::lng_SetF_txtTitleAdd, t(kindName)));
    }
    ShowDiskID(edtSyncDiskSource, fIDSource);
    ShowDiskID(edtSyncDiskStorage, fIDStorage);
    ShowDiskID(edtZipDiskSource, fIDSource);
    ShowDiskID(edtZipDiskStorage, fIDStorage);
    ShowDiskID(edtFzDiskSource, fIDSource);
    ShowDiskID(edtFzDiskStorage, fIDStorage);
    const int row = lstItems->currentRow();
    ShowItems();
    if (row >= 0)
        ShowPage(row);
}

void TfrmProfile::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        SetLanguageToForm();
    QDialog::changeEvent(event);
}

// ---- pages and items -------------------------------------------------------

void TfrmProfile::ShowItems() {
    const bool blocked = lstItems->blockSignals(true);
    lstItems->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_FileDialogDetailedView);
    lstItems->addItem(new QListWidgetItem(icon, LngText(Lng::lng_SetF_txtGenSettings)));
    if (!fNowDropZip) {
        const Lng second = fCurrentType == TBackupClass::bcSync  ? Lng::lng_SetF_txtSyncElements
                           : fCurrentType == TBackupClass::bcZip ? Lng::lng_SetF_txtZipElements
                                                                 : Lng::lng_SetF_txtFolderExclude;
        lstItems->addItem(new QListWidgetItem(style()->standardIcon(QStyle::SP_DirIcon), LngText(second)));
        lstItems->addItem(new QListWidgetItem(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                              LngText(Lng::lib_lng_btn_Exclude)));
    }
    // Wide enough for the longest caption of the current language.
    const int needed = lstItems->sizeHintForColumn(0) + 2 * lstItems->frameWidth() + 12;
    lstItems->setFixedWidth(qMax(190, needed));
    lstItems->blockSignals(blocked);
}

void TfrmProfile::ShowPage(int item) {
    QWidget* page = nullptr;
    if (fNowDropZip) {
        page = pgMain;
        item = 0;
    } else if (item == 0) {
        page = fCurrentType == TBackupClass::bcSync ? pgSync : fCurrentType == TBackupClass::bcZip ? pgZip : pgFolderZip;
    } else if (item == 1) {
        page = fCurrentType == TBackupClass::bcSync  ? pgSyncPairs
               : fCurrentType == TBackupClass::bcZip ? pgZipElements
                                                     : pgFolderExclude;
    } else {
        page = pgExclude;
    }
    pages->setCurrentWidget(page);
    if (QListWidgetItem* current = lstItems->item(item)) {
        lblPageTitle->setText(current->text());
        const bool blocked = lstItems->blockSignals(true);
        lstItems->setCurrentRow(item);
        lstItems->blockSignals(blocked);
    }
}

int TfrmProfile::CurrentPage() const { return lstItems->currentRow(); }

void TfrmProfile::ClearAll() {
    fFilling = true;
    fIDSource.clear();
    fIDStorage.clear();
    fCreatedUID.clear();
    fApplyError = false;
    fClosingAfterApply = false;
    for (QLineEdit* edit : {edtSyncTitle, edtZipTitle, edtFzTitle, edtZipFilename, edtZipFolder, edtZipPassword,
                            edtFzSource, edtFzStorage, edtFzPassword})
        edit->clear();
    lstSyncPairs->clear();
    lstZipElements->clear();
    memExclude->clear();
    memFolderExclude->clear();
    fFilling = false;
}

bool TfrmProfile::SetProfile(const QString& uid, TBackupClass nType) {
    TLumo_BackupProfile* profile = uid.isEmpty() ? nullptr : fContext.FindProfileByUID(uid);
    if (!uid.isEmpty() && !profile)
        return false;
    fNowDropZip = false;
    ClearAll();
    fCurrentUID = profile ? profile->UID() : QString();
    fCurrentType = profile ? profile->Kind() : nType;
    if (fCurrentType == TBackupClass::bcNone)
        return false;

    fFilling = true;
    switch (fCurrentType) {
    case TBackupClass::bcSync: {
        TSyncSettings s;
        if (profile) {
            s = profile->Sync()->GetSettings();
        } else {
            s.nExcludeList = SystemFolderMasks();
            s.nAutoMode = true;
            s.nSkipHidden = true;
            s.nSkipBigFiles = false;
            s.nBigFileSize = TLumo_Sync::kDefaultBigFileSize;
            s.nCheckSizeAndDate = true;
            s.nDeleteToRecycle = true;
        }
        FillSync(s);
        break;
    }
    case TBackupClass::bcZip: {
        TZip_Settings s;
        if (profile) {
            s = profile->Zip()->GetSettings();
        } else {
            s.nFilename = QStringLiteral("Filename.zip");
            s.nCompression = TLumo_Zip::kDefaultCompression;
            s.nUseVersions = false;
            s.nItemsVersions = true;
            s.nVersionsValue = fLastVersionsValue;
            s.nSpanEn = false;
            s.nSpanValue = TLumo_Zip::kDefaultSpanSize;
            QStringList masks = ExcludeTemplateMasks();
            RemoveDuplicateLines(masks);
            s.nExcludeList = masks;
        }
        FillZip(s);
        break;
    }
    case TBackupClass::bcFolderZip: {
        TFolderZip_Settings s;
        if (profile) {
            s = profile->FolderZip()->GetSettings();
        } else {
            s.nExcludeList = SystemFolderMasks();
            s.nCompression = 7;
            s.nCleanFolder = false;
            s.nDeleteToRecycle = true;
            s.nSpanningEnabled = false;
            s.nSpanningSizeValue = 1900;
        }
        FillFolderZip(s);
        break;
    }
    case TBackupClass::bcNone: break;
    }
    fFilling = false;
    SetLanguageToForm();
    ShowItems();
    ShowPage(0);
    UpdateEnabled();
    fModified = false;
    fPassModified = false;
    return true;
}

void TfrmProfile::SetMainAppSettings(const TGeneralSettingsHooks& hooks) {
    if (hooks.ApplyStayOnTop || hooks.ShowTrayIcon || hooks.ApplyTaskPriority || hooks.UpdateJumpList)
        fHooks = hooks;
    ClearAll();
    fCurrentUID.clear();
    fCurrentType = TBackupClass::bcNone;
    fNowDropZip = true;
    FillMain();
    SetLanguageToForm();
    ShowItems();
    ShowPage(0);
    fModified = false;
    fPassModified = false;
}

// ---- filling and reading the controls --------------------------------------

void TfrmProfile::FillSync(const TSyncSettings& s) {
    edtSyncTitle->setText(s.nTitle);
    chkSyncAutoMode->setChecked(s.nAutoMode);
    (s.nCheckSizeAndDate ? rbCompareTimeSize : rbCompareSize)->setChecked(true);
    (s.nDeleteToRecycle ? rbSyncDelRecycle : rbSyncDelPermanent)->setChecked(true);
    chkSkipHidden->setChecked(s.nSkipHidden);
    chkSkipLarge->setChecked(s.nSkipBigFiles);
    spnBigFileSize->setValue(s.nBigFileSize);
    for (qsizetype i = 0; i + 1 < s.nValueList.size(); i += 2)
        AddSyncPairRow(s.nValueList.at(i), s.nValueList.at(i + 1));
    memExclude->setPlainText(s.nExcludeList.join(QLatin1Char('\n')));
    fIDSource = s.nDiskSourceID;
    fIDStorage = s.nDiskStorageID;
}

void TfrmProfile::FillZip(const TZip_Settings& s) {
    edtZipTitle->setText(s.nTitle);
    edtZipFilename->setText(s.nFilename);
    edtZipFolder->setText(s.nFolder);
    // A stored password is never shown; the placeholder only says there is one.
    edtZipPassword->setText(s.nPassword.isEmpty() ? QString() : kPasswordPlaceholder);
    spnZipCompression->setValue(s.nCompression);
    chkUseVersion->setChecked(s.nUseVersions);
    (s.nItemsVersions ? rbItemsCount : rbItemsDays)->setChecked(true);
    spnVersions->setValue(s.nVersionsValue);
    chkZipSpan->setChecked(s.nSpanEn);
    spnZipSpan->setValue(s.nSpanValue);
    for (qsizetype i = 0; i + 1 < s.nValueList.size(); i += 2) {
        const bool isFolder = s.nValueList.at(i) == QLatin1String("1");
        auto* item = new QListWidgetItem(
            style()->standardIcon(isFolder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon), s.nValueList.at(i + 1));
        item->setData(kIsFolderRole, isFolder);
        lstZipElements->addItem(item);
    }
    memExclude->setPlainText(s.nExcludeList.join(QLatin1Char('\n')));
    fIDSource = s.nDiskSourceID;
    fIDStorage = s.nDiskStorageID;
}

void TfrmProfile::FillFolderZip(const TFolderZip_Settings& s) {
    edtFzTitle->setText(s.nTitle);
    edtFzSource->setText(s.nSourceFolder);
    edtFzStorage->setText(s.nSaveToFolder);
    edtFzPassword->setText(s.nPassword.isEmpty() ? QString() : kPasswordPlaceholder);
    spnFzCompression->setValue(s.nCompression);
    chkCleanFolder->setChecked(s.nCleanFolder);
    (s.nDeleteToRecycle ? rbFzDelRecycle : rbFzDelPermanent)->setChecked(true);
    chkFzSpan->setChecked(s.nSpanningEnabled);
    spnFzSpan->setValue(s.nSpanningSizeValue);
    memFolderExclude->setPlainText(s.nExcludeFolderList.join(QLatin1Char('\n')));
    memExclude->setPlainText(s.nExcludeList.join(QLatin1Char('\n')));
    fIDSource = s.nDiskSourceID;
    fIDStorage = s.nDiskStorageID;
}

void TfrmProfile::FillMain() {
    fFilling = true;
    const TGeneralSettingsValues v = CurrentGeneralSettings(fContext);
    chkAutorun->setChecked(v.Autorun);
    chkDelayedStart->setChecked(v.DelayedStart);
    chkLowPriority->setChecked(v.LowPriorityWhenHiden);
    chkShowTray->setChecked(v.ShowTrayIcon);
    chkStayOnTop->setChecked(v.StayOnTop);
    chkShowIcons->setChecked(v.ShowIconsInResult);
    chkAutoUpdate->setChecked(v.AutoUpdateCheck);
    chkBeta->setChecked(v.BetaVersion);
    chkPortable->setChecked(v.PortableMode);
    cmbLanguage->clear();
    cmbLanguage->addItems(LanguageItems(fContext));
    cmbLanguage->setCurrentIndex(v.LanguageIndex);
    fNowLang = v.LanguageIndex;
    fFilling = false;
}

TSyncSettings TfrmProfile::SyncFromControls() const {
    TSyncSettings s;
    s.nTitle = edtSyncTitle->text();
    s.nAutoMode = chkSyncAutoMode->isChecked();
    s.nCheckSizeAndDate = rbCompareTimeSize->isChecked();
    s.nDeleteToRecycle = rbSyncDelRecycle->isChecked();
    s.nSkipHidden = chkSkipHidden->isChecked();
    s.nSkipBigFiles = chkSkipLarge->isChecked();
    s.nBigFileSize = spnBigFileSize->value();
    for (int i = 0; i < lstSyncPairs->count(); ++i)
        s.nValueList << lstSyncPairs->item(i)->data(kSourceRole).toString()
                     << lstSyncPairs->item(i)->data(kStorageRole).toString();
    s.nExcludeList = Lines(memExclude);
    s.nDiskSourceID = fIDSource;
    s.nDiskStorageID = fIDStorage;
    return s;
}

TZip_Settings TfrmProfile::ZipFromControls() const {
    TZip_Settings s;
    s.nTitle = edtZipTitle->text();
    s.nFilename = edtZipFilename->text().trimmed();
    s.nFolder = Folder(edtZipFolder->text());
    s.nCompression = spnZipCompression->value();
    s.nUseVersions = chkUseVersion->isChecked();
    s.nItemsVersions = rbItemsCount->isChecked();
    s.nVersionsValue = spnVersions->value();
    s.nSpanEn = chkZipSpan->isChecked();
    s.nSpanValue = spnZipSpan->value();
    s.nPasswordModified = fPassModified;
    s.nPassword = fPassModified ? edtZipPassword->text() : QString();
    for (int i = 0; i < lstZipElements->count(); ++i) {
        const QListWidgetItem* item = lstZipElements->item(i);
        s.nValueList << (item->data(kIsFolderRole).toBool() ? QStringLiteral("1") : QStringLiteral("0")) << item->text();
    }
    s.nExcludeList = Lines(memExclude);
    s.nDiskSourceID = fIDSource;
    s.nDiskStorageID = fIDStorage;
    return s;
}

TFolderZip_Settings TfrmProfile::FolderZipFromControls() const {
    TFolderZip_Settings s;
    s.nTitle = edtFzTitle->text();
    s.nSourceFolder = Folder(edtFzSource->text());
    s.nSaveToFolder = Folder(edtFzStorage->text());
    s.nCompression = spnFzCompression->value();
    s.nCleanFolder = chkCleanFolder->isChecked();
    s.nDeleteToRecycle = rbFzDelRecycle->isChecked();
    s.nSpanningEnabled = chkFzSpan->isChecked();
    s.nSpanningSizeValue = spnFzSpan->value();
    s.nPasswordModified = fPassModified;
    s.nPassword = fPassModified ? edtFzPassword->text() : QString();
    s.nExcludeFolderList = Lines(memFolderExclude);
    s.nExcludeList = Lines(memExclude);
    s.nDiskSourceID = fIDSource;
    s.nDiskStorageID = fIDStorage;
    return s;
}

TGeneralSettingsValues TfrmProfile::MainFromControls() const {
    TGeneralSettingsValues v;
    v.Autorun = chkAutorun->isChecked();
    v.DelayedStart = chkDelayedStart->isChecked();
    v.LowPriorityWhenHiden = chkLowPriority->isChecked();
    v.ShowTrayIcon = chkShowTray->isChecked();
    v.StayOnTop = chkStayOnTop->isChecked();
    v.ShowIconsInResult = chkShowIcons->isChecked();
    v.AutoUpdateCheck = chkAutoUpdate->isChecked();
    v.BetaVersion = chkBeta->isChecked();
    v.PortableMode = chkPortable->isChecked();
    v.LanguageIndex = cmbLanguage->currentIndex();
    return v;
}

// ---- enabled states and disk IDs -------------------------------------------

void TfrmProfile::UpdateEnabled() {
    spnBigFileSize->setEnabled(chkSkipLarge->isChecked());
    rbItemsCount->setEnabled(chkUseVersion->isChecked());
    rbItemsDays->setEnabled(chkUseVersion->isChecked());
    spnVersions->setEnabled(chkUseVersion->isChecked());
    spnZipSpan->setEnabled(chkZipSpan->isChecked());
    spnFzSpan->setEnabled(chkFzSpan->isChecked());
    rbFzDelRecycle->setEnabled(chkCleanFolder->isChecked());
    rbFzDelPermanent->setEnabled(chkCleanFolder->isChecked());
    lblFzDelete->setEnabled(chkCleanFolder->isChecked());
    btnSyncEdit->setEnabled(lstSyncPairs->selectedItems().size() == 1);
    btnSyncDelete->setEnabled(!lstSyncPairs->selectedItems().isEmpty());
    btnZipEdit->setEnabled(lstZipElements->selectedItems().size() == 1);
    btnZipDelete->setEnabled(!lstZipElements->selectedItems().isEmpty());
    UpdateDiskFields();
}

void TfrmProfile::UpdateDiskFields() {
    if (fCurrentType == TBackupClass::bcSync) {
        QStringList sources, storages;
        for (int i = 0; i < lstSyncPairs->count(); ++i) {
            sources << lstSyncPairs->item(i)->data(kSourceRole).toString();
            storages << lstSyncPairs->item(i)->data(kStorageRole).toString();
        }
        edtSyncDiskSource->setEnabled(VolumeCount(sources) < 2);
        edtSyncDiskStorage->setEnabled(VolumeCount(storages) < 2);
    } else if (fCurrentType == TBackupClass::bcZip) {
        QStringList paths;
        for (int i = 0; i < lstZipElements->count(); ++i)
            paths << lstZipElements->item(i)->text();
        edtZipDiskSource->setEnabled(VolumeCount(paths) < 2);
        edtZipDiskStorage->setEnabled(true);
    }
}

void TfrmProfile::ShowDiskID(QLineEdit* field, const QString& id) {
    field->setText(id.isEmpty() ? LngText(Lng::lib_lng_Global_Disabled) : Fmt(Lng::lib_lng_Global_ValueIsSet, id));
}

void TfrmProfile::ChooseDiskID(QLineEdit* field, QString TfrmProfile::*id) {
    const TVolumeChoice volume = ChooseVolume(this);
    if (volume.MountPoint.isEmpty())
        return;
    // A volume whose identifier cannot be read gives no identifier.
    this->*id = volume.ID;
    ShowDiskID(field, volume.ID);
    SetModified();
}

// ---- sync folder pairs -----------------------------------------------------

void TfrmProfile::AddSyncPairRow(const QString& source, const QString& storage) {
    auto* item = new QListWidgetItem(source + QLatin1Char('\n') + storage, lstSyncPairs);
    item->setIcon(style()->standardIcon(QStyle::SP_DirIcon));
    item->setData(kSourceRole, source);
    item->setData(kStorageRole, storage);
}

void TfrmProfile::AddSyncPair() {
    const TFolderPair pair = ChooseTwoFolders(QString(), QString(), this);
    if (pair.Source.isEmpty())
        return;
    AddSyncPairRow(pair.Source, pair.Storage);
    lstSyncPairs->clearSelection();
    lstSyncPairs->setCurrentRow(lstSyncPairs->count() - 1);
    SetModified();
    UpdateEnabled();
}

void TfrmProfile::EditSyncPair() {
    const QList<QListWidgetItem*> selected = lstSyncPairs->selectedItems();
    if (selected.size() != 1)
        return;
    QListWidgetItem* item = selected.front();
    const TFolderPair pair =
        ChooseTwoFolders(item->data(kSourceRole).toString(), item->data(kStorageRole).toString(), this);
    if (pair.Source.isEmpty())
        return;
    item->setData(kSourceRole, pair.Source);
    item->setData(kStorageRole, pair.Storage);
    item->setText(pair.Source + QLatin1Char('\n') + pair.Storage);
    SetModified();
    UpdateEnabled();
}

void TfrmProfile::DeleteSyncPairs() {
    const QList<QListWidgetItem*> selected = lstSyncPairs->selectedItems();
    if (selected.isEmpty())
        return;
    qDeleteAll(selected);
    SetModified();
    UpdateEnabled();
}

// ---- archive elements ------------------------------------------------------

bool TfrmProfile::AddZipPath(const QString& rawPath) {
    const QFileInfo info(rawPath);
    if (!info.exists())
        return false;
    const bool isFolder = info.isDir();
    const QString path = isFolder ? IncludeBackslash(QDir::toNativeSeparators(info.absoluteFilePath()))
                                  : QDir::toNativeSeparators(info.absoluteFilePath());
    int lastFolder = -1;
    for (int i = 0; i < lstZipElements->count(); ++i) {
        const QListWidgetItem* item = lstZipElements->item(i);
        if (item->text().toUpper() == path.toUpper())
            return false;
        if (item->data(kIsFolderRole).toBool())
            lastFolder = i;
    }
    auto* item = new QListWidgetItem(style()->standardIcon(isFolder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon), path);
    item->setData(kIsFolderRole, isFolder);
    // Folders stay ahead of the files.
    const int row = isFolder ? lastFolder + 1 : lstZipElements->count();
    lstZipElements->insertItem(row, item);
    lstZipElements->clearSelection();
    lstZipElements->setCurrentRow(row);
    return true;
}

void TfrmProfile::AddZipPaths(const QStringList& paths) {
    bool added = false;
    for (const QString& path : paths)
        added = AddZipPath(path) || added;
    if (added) {
        SetModified();
        UpdateEnabled();
    }
}

void TfrmProfile::AddZipFolder() {
    const QString folder = ChooseFolder(QString(), this);
    if (!folder.isEmpty())
        AddZipPaths({folder});
}

void TfrmProfile::AddZipFiles() {
    QStringList files;
    ChooseFiles(QString(), {LngText(Lng::lib_lng_FileMask_All)}, [&files](const QString& file) { files << file; }, this);
    AddZipPaths(files);
}

void TfrmProfile::EditZipElement() {
    const QList<QListWidgetItem*> selected = lstZipElements->selectedItems();
    if (selected.size() != 1)
        return;
    QListWidgetItem* item = selected.front();
    const bool isFolder = item->data(kIsFolderRole).toBool();
    const QString chosen = isFolder ? ChooseFolder(item->text(), this)
                                    : ChooseFile(item->text(), {LngText(Lng::lib_lng_FileMask_All)}, false, this);
    if (chosen.isEmpty() || chosen == item->text())
        return;
    for (int i = 0; i < lstZipElements->count(); ++i)
        if (lstZipElements->item(i) != item && lstZipElements->item(i)->text().toUpper() == chosen.toUpper())
            return;
    item->setText(chosen);
    SetModified();
    UpdateEnabled();
}

void TfrmProfile::DeleteZipElements() {
    const QList<QListWidgetItem*> selected = lstZipElements->selectedItems();
    if (selected.isEmpty())
        return;
    qDeleteAll(selected);
    SetModified();
    UpdateEnabled();
}

// ---- exclusions and the file-name template ---------------------------------

void TfrmProfile::ApplyExcludeTemplate() {
    QStringList lines = memExclude->toPlainText().split(QLatin1Char('\n'));
    lines << ExcludeTemplateMasks();
    RemoveDuplicateLines(lines);
    memExclude->setPlainText(lines.join(QLatin1Char('\n')));
    SetModified();
}

void TfrmProfile::InsertFilenamePlaceholder(const QString& placeholder) {
    if (edtZipFilename->hasSelectedText()) {
        edtZipFilename->insert(placeholder);
    } else if (edtZipFilename->cursorPosition() == 0 && !edtZipFilename->text().isEmpty()) {
        edtZipFilename->setText(edtZipFilename->text() + placeholder);
    } else {
        edtZipFilename->insert(placeholder);
    }
    SetModified();
}

void TfrmProfile::ShowFilenameResult() {
    MessageQuestion(LngText(Lng::lng_Dialog_Filename), ExpandNameTemplate(edtZipFilename->text(), QString()), mqOk,
                    this);
}

// ---- events ----------------------------------------------------------------

bool TfrmProfile::eventFilter(QObject* watched, QEvent* event) {
    if (lstZipElements && watched == lstZipElements->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList paths;
            for (const QUrl& url : drop->mimeData()->urls())
                if (url.isLocalFile())
                    paths << url.toLocalFile();
            AddZipPaths(paths);
            drop->acceptProposedAction();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (auto* next = qobject_cast<QWidget*>(field->property("nextField").value<QObject*>()))
                next->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    // Typing into the password field replaces the placeholder as a whole.
    if (field && (field == edtZipPassword || field == edtFzPassword) && event->type() == QEvent::FocusIn &&
        !fPassModified && field->text() == kPasswordPlaceholder)
        QMetaObject::invokeMethod(field, &QLineEdit::selectAll, Qt::QueuedConnection);
    return QDialog::eventFilter(watched, event);
}

void TfrmProfile::reject() {
    if (fModified && !fContext.AppClosing) {
        const int answer = MessageQuestion(LngText(Lng::lib_lng_Dlg_Title_Warning),
                                           LngText(Lng::lib_lng_Dlg_Text_CloseConfirm), mqYesNoCancel, this);
        if (answer == mrCancel)
            return;
        if (answer == mrYes && btnApplyFormClick())
            return; // applied and closed
    }
    fNowDropZip = false;
    QDialog::reject();
}

// ---- apply -----------------------------------------------------------------

bool TfrmProfile::Refuse(Lng text, int page, QWidget* field, int row) {
    fApplyError = true;
    ShowNotification(LngText(Lng::lib_lng_Dlg_Title_Warning), LngText(text), kWarningImage, -1);
    if (page >= 0)
        ShowPage(page);
    if (auto* list = qobject_cast<QListWidget*>(field); list && row >= 0 && row < list->count()) {
        list->clearSelection();
        list->setCurrentRow(row);
    }
    if (field)
        field->setFocus();
    return false;
}

bool TfrmProfile::btnApplyFormClick() {
    fApplyError = false;
    return fNowDropZip ? ApplyMain() : ApplyProfile();
}

bool TfrmProfile::ApplyMain() {
    const TGeneralSettingsValues values = MainFromControls();
    if (!ApplyGeneralSettings(fContext, values, fHooks, this)) {
        // Portable mode was turned on: the page stays open, showing the new state.
        fModified = false;
        return true;
    }
    fModified = false;
    fClosingAfterApply = true;
    fNowDropZip = false;
    QDialog::accept();
    if (fHooks.ApplyStayOnTop)
        fHooks.ApplyStayOnTop(fContext.Options.StayOnTop);
    return true;
}

bool TfrmProfile::ApplyProfile() {
    std::optional<TCheckFailure> failure;
    QList<TBoundedSpinBox*> numbers;
    TSyncSettings sync;
    TZip_Settings zip;
    TFolderZip_Settings folderZip;
    switch (fCurrentType) {
    case TBackupClass::bcSync:
        sync = SyncFromControls();
        failure = CheckSyncSettings(sync);
        numbers = {spnBigFileSize};
        break;
    case TBackupClass::bcZip:
        zip = ZipFromControls();
        failure = CheckZipSettings(zip);
        numbers = {spnZipCompression, spnVersions, spnZipSpan};
        break;
    case TBackupClass::bcFolderZip:
        folderZip = FolderZipFromControls();
        failure = CheckFolderZipSettings(folderZip);
        numbers = {spnFzCompression, spnFzSpan};
        break;
    case TBackupClass::bcNone: return false;
    }
    if (failure) {
        QWidget* field = findChild<QWidget*>(failure->Field);
        return Refuse(failure->Text, failure->Page, field, failure->Row);
    }
    for (TBoundedSpinBox* number : numbers)
        if (number->isEnabled() && !number->InRange())
            return Refuse(Lng::lib_lng_Dlg_Text_InvalidValue, 0, number);

    TLumo_BackupProfile* profile = fCurrentUID.isEmpty() ? nullptr : fContext.FindProfileByUID(fCurrentUID);
    if (!fCurrentUID.isEmpty() && !profile)
        return Refuse(Lng::lng_Dialog_ActiveTaskCantSave, -1, nullptr);
    // While a profile is queued or running its worker owns a copy of the
    // settings and the task object must stay as it is.
    if (profile && fContext.TaskQueue().IsBusy(*profile))
        return Refuse(Lng::lng_Dialog_ActiveTaskCantSave, -1, nullptr);

    const bool isNew = profile == nullptr;
    switch (fCurrentType) {
    case TBackupClass::bcSync: {
        TLumo_Sync& task = isNew ? TLumo_Sync::Create(fContext, QString()) : *profile->Sync();
        if (!task.ApplyNewSettings(sync, true))
            return Refuse(Lng::lng_Dialog_ActiveTaskCantSave, -1, nullptr);
        profile = task.Profile();
        break;
    }
    case TBackupClass::bcZip: {
        TLumo_Zip& task = isNew ? TLumo_Zip::Create(fContext, QString()) : *profile->Zip();
        task.ApplyNewSettings(zip, true);
        profile = task.Profile();
        fLastVersionsValue = zip.nVersionsValue;
        break;
    }
    case TBackupClass::bcFolderZip: {
        TLumo_FolderZip& task = isNew ? TLumo_FolderZip::Create(fContext, QString()) : *profile->FolderZip();
        task.ApplyNewSettings(folderZip, true);
        profile = task.Profile();
        break;
    }
    case TBackupClass::bcNone: return false;
    }
    edtZipPassword->clear();
    edtFzPassword->clear();
    if (isNew) {
        fCreatedUID = profile->UID();
        fContext.Saver().AddNewTask(TSaveSetType::stListPos);
    }
    fModified = false;
    fPassModified = false;
    profile->SetFullValues();
    profile->RepaintNode();
    if (fHooks.UpdateJumpList)
        fHooks.UpdateJumpList();
    fClosingAfterApply = true;
    QDialog::accept();
    return true;
}
