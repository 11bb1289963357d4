#include "gui/ui/standard_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

// Plain Qt stand-ins until the program's own dialog frame replaces them; the
// signatures and results are the ones the callers keep.

int MessageQuestion(const QString& title, const QString& text, int kind, QWidget* parent) {
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (kind == mqYesNoCancel)
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    else if (kind == mqYesNo)
        buttons = QMessageBox::Yes | QMessageBox::No;
    switch (QMessageBox::question(parent, title, text, buttons)) {
    case QMessageBox::Yes: return mrYes;
    case QMessageBox::No: return mrNo;
    case QMessageBox::Ok: return mrOk;
    default: return mrCancel;
    }
}

int YesNoQuestion(const QString& title, const QString& text, QWidget* parent) {
    return MessageQuestion(title, text, mqYesNo, parent);
}

namespace {
std::unique_ptr<tfm_Result> StringResult(const QString& value) {
    auto result = std::make_unique<tfm_Result>();
    result->FValueIsSet = !value.isEmpty();
    result->FValueString = value;
    return result;
}
} // namespace

std::unique_ptr<tfm_Result> ChooseFileDialog(const QString& startPath, QWidget* parent) {
    return StringResult(QFileDialog::getOpenFileName(parent, QString(), startPath));
}

std::unique_ptr<tfm_Result> ChooseFileDialogEx(const QString& caption, const QString&, const QString& startPath,
                                               bool, QWidget* parent) {
    return StringResult(QFileDialog::getOpenFileName(parent, caption, startPath));
}

std::unique_ptr<tfm_Result> ChooseFolderDialog(const QString& startPath, QWidget* parent) {
    return StringResult(QFileDialog::getExistingDirectory(parent, QString(), startPath));
}

std::unique_ptr<tfm_Result> ChooseDriveDialog(QChar, QWidget*) {
    return std::make_unique<tfm_Result>();
}

std::unique_ptr<tfm_Result> AskIntegerDialog(const QString& caption, const QString& label, int value,
                                             int lowerLimit, int upperLimit, QWidget* parent) {
    auto result = std::make_unique<tfm_Result>();
    bool ok = false;
    const int chosen = QInputDialog::getInt(parent, caption, label, value, lowerLimit, upperLimit, 1, &ok);
    result->FValueIsSet = ok;
    if (ok)
        result->FValueInteger = chosen;
    return result;
}

std::unique_ptr<tfm_Result> AskTextDialog(const QString& nFormTitle, const QString& nLabelTitle,
                                          const QString& nValue, int, QWidget* parent) {
    auto result = std::make_unique<tfm_Result>();
    bool ok = false;
    const QString chosen = QInputDialog::getText(parent, nFormTitle, nLabelTitle, QLineEdit::Normal, nValue, &ok);
    result->FValueIsSet = ok;
    if (ok)
        result->FValueString = chosen;
    return result;
}
