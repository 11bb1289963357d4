#include "gui/ui/value_dialogs.h"

#include "gui/notify/notifications.h"
#include "gui/ui/dialog_frame.h"
#include "gui/ui/dialog_settings.h"
#include "gui/util/pickers.h"
#include "lang/language.h"
#include "util/string_lists.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {
constexpr int kFieldGap = 16;
} // namespace

// ---------------------------------------------------------------- shared

tfm_ValueForm::tfm_ValueForm(const QString& caption, int width, int height, QWidget* parent) {
    sForm = CreateDialogForm(caption, width, height, parent);
    PanelBig = AddBottomBand(sForm);
    PanelLine = PanelBig->findChild<QFrame*>(QStringLiteral("PanelLine"));
}

tfm_ValueForm::~tfm_ValueForm() {
    delete sForm.data();
}

void tfm_ValueForm::AddApplyCancel(bool leftSide, int firstLeft) {
    pButtonApply = AddButton(sForm, DialogText(Lng::lib_lng_btn_Apply), 0, 0, kDialogButtonWidth);
    pButtonApply->setObjectName(QStringLiteral("pButtonApply"));
    pButtonCancel = AddButton(sForm, DialogText(Lng::lib_lng_btn_Cancel), 0, 0, kDialogButtonWidth);
    pButtonCancel->setObjectName(QStringLiteral("pButtonCancel"));
    for (QPushButton* button : {pButtonApply.data(), pButtonCancel.data()})
        button->setAutoDefault(false);
    PlaceBandButtons(sForm, {pButtonApply, pButtonCancel}, leftSide, firstLeft);
    connect(pButtonApply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(pButtonCancel, &QPushButton::clicked, sForm, &QDialog::reject);
}

void tfm_ValueForm::Confirm() {
    pValueSet = true;
    sForm->accept();
}

void tfm_ValueForm::WarnInvalid(const QString& text) {
    const tfm_Settings& settings = tfm_Settings::Current();
    ShowNotification(DialogText(Lng::lib_lng_Dlg_Title_Warning), text, settings.ico_Notification_Warning,
                     settings.st_NotificationShow);
}

bool tfm_ValueForm::ShowModal() {
    sForm->exec();
    return pValueSet;
}

// ---------------------------------------------------------------- file

tfm_FileChooserForm::tfm_FileChooserForm(const QString& caption, const QString& label, const QString& startPath,
                                         TFileDialogTypes types, QWidget* parent)
    : tfm_ValueForm(caption.isEmpty() ? DialogText(Lng::lib_lng_Dlg_Title_ChooseFile) : caption, 460, 160, parent),
      pFileType(types) {
    LabelTitle = AddLabel(sForm, label.isEmpty() ? DialogText(Lng::lib_lng_Edit_File) : label, 16, 16);
    pFullName = AddButtonedEdit(sForm, startPath, 32, 16, 418, tfm_Settings::Current().be_File);
    pFullName->setReadOnly(true);
    connect(EditFieldButton(pFullName), &QAction::triggered, this, &tfm_FileChooserForm::Browse);
    AddApplyCancel(false, 0);
    QWidget::setTabOrder(pFullName, pButtonApply);
}

void tfm_FileChooserForm::Browse() {
    const QString chosen = ChooseFile(pFullName->text(), FileDialogFilterLines(pFileType), false, sForm);
    if (!chosen.isEmpty())
        pFullName->setText(chosen);
}

void tfm_FileChooserForm::Apply() {
    const QString path = pFullName->text();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        WarnInvalid(DialogText(Lng::lib_lng_Dlg_Text_InvalidFilename));
        return;
    }
    pValue = path;
    Confirm();
}

// ---------------------------------------------------------------- folder

tfm_FolderChooserForm::tfm_FolderChooserForm(const QString& startPath, QWidget* parent)
    : tfm_ValueForm(DialogText(Lng::lib_lng_Dlg_Title_ChooseFolder), 460, 160, parent) {
    LabelTitle = AddLabel(sForm, DialogText(Lng::lib_lng_Edit_Folder), 16, 16);
    pFullName = AddButtonedEdit(sForm, startPath, 32, 16, 418, tfm_Settings::Current().be_Folder);
    pFullName->setReadOnly(true);
    connect(EditFieldButton(pFullName), &QAction::triggered, this, &tfm_FolderChooserForm::Browse);
    AddApplyCancel(false, 0);
    QWidget::setTabOrder(pFullName, pButtonApply);
}

void tfm_FolderChooserForm::Browse() {
    const QString chosen = ChooseFolder(pFullName->text(), sForm);
    if (!chosen.isEmpty())
        pFullName->setText(IncludeBackslash(chosen));
}

void tfm_FolderChooserForm::Apply() {
    const QString path = pFullName->text();
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        WarnInvalid(DialogText(Lng::lib_lng_Dlg_Text_InvalidFolder));
        return;
    }
    // Configured folders always end with the separator, whichever way the
    // path got into the field.
    pValue = IncludeBackslash(path);
    Confirm();
}

// ---------------------------------------------------------------- drive

tfm_DriveGetValueForm::tfm_DriveGetValueForm(QChar preselectLetter, const QString& preselectRoot, QWidget* parent)
    : tfm_ValueForm(DialogText(Lng::lib_lng_Dlg_Title_ChooseDisk), 420, 150, parent) {
    LabelTitle = AddLabel(sForm, DialogText(Lng::lib_lng_Edit_Disk), 20, 16);
    pComboBox = AddDropDownList(sForm, 16, LabelTitle->geometry().right() + 1 + kFieldGap, 220);
    const auto& source = tfm_Settings::Current().pPresentDrives;
    int selected = 0;
    bool found = false;
    for (const TDriveItem& drive : source ? source() : QList<TDriveItem>()) {
        const QString label = drive.Label.isEmpty() ? DialogText(Lng::lib_lng_Global_NoData) : drive.Label;
        pComboBox->addItem(QStringLiteral("%1 [%2]").arg(drive.Root, label));
        const bool matches = preselectRoot.isEmpty()
                                 ? !preselectLetter.isNull() &&
                                       drive.Root.startsWith(preselectLetter, Qt::CaseInsensitive)
                                 : drive.Root == preselectRoot;
        if (matches && !found) {
            selected = pComboBox->count() - 1;
            found = true;
        }
        fRoots << drive.Root;
    }
    pComboBox->setCurrentIndex(fRoots.isEmpty() ? -1 : selected);
    AddApplyCancel(false, 0);
    pComboBox->setFocus();
}

void tfm_DriveGetValueForm::Apply() {
    const int index = pComboBox->currentIndex();
    if (index >= 0 && pComboBox->currentText().size() > 1) {
        pValueRoot = fRoots.value(index);
        pValue = pValueRoot.isEmpty() ? QChar() : pValueRoot.front();
        Confirm();
        return;
    }
    sForm->reject();
}

// ---------------------------------------------------------------- number

tfm_IntegerGetValueForm::tfm_IntegerGetValueForm(const QString& caption, const QString& label, int value,
                                                 int lowerLimit, int upperLimit, QWidget* parent)
    : tfm_ValueForm(caption, 420, 150, parent) {
    LabelTitle = AddLabel(sForm, label, 20, 16);
    pSpin = AddNumberField(sForm, 16, LabelTitle->geometry().right() + 1 + kFieldGap, 120, value, lowerLimit,
                           upperLimit);
    pSpin->installEventFilter(this);
    AddApplyCancel(false, 0);
    QWidget::setTabOrder(pSpin, pButtonApply);
    pSpin->setFocus();
}

void tfm_IntegerGetValueForm::Apply() {
    // What is typed is brought into the limits before it counts.
    pSpin->interpretText();
    pValue = pSpin->value();
    Confirm();
}

bool tfm_IntegerGetValueForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pSpin && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            pSpin->interpretText();
            pButtonApply->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return tfm_ValueForm::eventFilter(watched, event);
}

// ---------------------------------------------------------------- text

tfm_StringGetValueForm::tfm_StringGetValueForm(const QString& caption, const QString& label, const QString& value,
                                               int maxLength, QWidget* parent)
    : tfm_ValueForm(caption, 420, 175, parent), fMaxLength(maxLength) {
    LabelTitle = new QLabel(label, sForm);
    LabelTitle->setTextFormat(Qt::PlainText);
    LabelTitle->setWordWrap(true);
    LabelTitle->setGeometry(16, 20, 380, LabelTitle->heightForWidth(380));
    // A label that wraps pushes the field down instead of running under it.
    const int fieldTop = std::max(38, LabelTitle->geometry().bottom() + 1 + 2);
    pBe = AddButtonedEdit(sForm, QString(), fieldTop, 16, 376, tfm_Settings::Current().be_Paste);
    if (maxLength > 0)
        pBe->setMaxLength(maxLength);
    pBe->setText(value);
    pBe->installEventFilter(this);
    connect(EditFieldButton(pBe), &QAction::triggered, this, &tfm_StringGetValueForm::PasteClipboard);
    AddApplyCancel(tfm_Settings::Current().st_LeftSide_Buttons, 16);
    QWidget::setTabOrder(pBe, pButtonApply);
    pBe->setFocus();
}

void tfm_StringGetValueForm::PasteClipboard() {
    const auto& clipboard = tfm_Settings::Current().pClipboardText;
    QString text = clipboard ? clipboard() : QString();
    if (fMaxLength > 0)
        text = text.left(fMaxLength);
    pBe->setText(text);
}

void tfm_StringGetValueForm::Apply() {
    if (pBe->text().trimmed().isEmpty()) {
        pBe->setFocus(Qt::OtherFocusReason);
        return;
    }
    pValueString = pBe->text();
    Confirm();
}

bool tfm_StringGetValueForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pBe && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!pBe->text().trimmed().isEmpty())
                pButtonApply->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return tfm_ValueForm::eventFilter(watched, event);
}
