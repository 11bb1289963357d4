#include "gui/ui/standard_dialogs.h"

#include "gui/ui/message_box.h"
#include "gui/ui/value_dialogs.h"
#include "gui/ui/dialog_settings.h"
#include "lang/language.h"

// Each routine builds its dialog, shows it modally and destroys it before it
// returns; no dialog outlives its call.

QStringList FileDialogFilterLines(TFileDialogTypes types) {
    QStringList lines;
    if (types.Contains(tFileDialog_Type::fd_Application))
        lines << DialogText(Lng::lib_lng_FileMask_Execute);
    if (types.IsEmpty() || types.Contains(tFileDialog_Type::fd_AllFiles))
        lines << DialogText(Lng::lib_lng_FileMask_All);
    return lines;
}

int MessageQuestion(const QString& title, const QString& text, int kind, QWidget* parent) {
    tfm_MessageBox box(parent);
    box.SetFormTitle(title);
    box.SetFormCaption(text);
    if (kind == mqYesNoCancel) {
        box.SetButton(1, mrCancel, DialogText(Lng::lib_lng_btn_Cancel));
        box.SetButton(2, mrNo, DialogText(Lng::lib_lng_btn_No));
        box.SetButton(3, mrYes, DialogText(Lng::lib_lng_btn_Yes));
        box.SetButtonsVisible(3);
    } else if (kind == mqYesNo) {
        box.SetButton(1, mrNo, DialogText(Lng::lib_lng_btn_No));
        box.SetButton(2, mrYes, DialogText(Lng::lib_lng_btn_Yes));
        box.SetButtonsVisible(2);
    } else {
        // The same word in every language.
        box.SetButton(1, mrOk, QStringLiteral("OK"));
        box.SetButtonsVisible(1);
    }
    return box.ShowModal();
}

int YesNoQuestion(const QString& title, const QString& text, QWidget* parent) {
    tfm_MessageBox box(parent);
    box.SetFormTitle(title);
    box.SetFormCaption(text);
    box.SetButton(1, mrNo, DialogText(Lng::lib_lng_btn_No));
    box.SetButton(2, mrYes, DialogText(Lng::lib_lng_btn_Yes));
    box.SetButtonsVisible(2);
    box.SetDownButton();
    return box.ShowModal();
}

namespace {

std::unique_ptr<tfm_Result> PathResult(bool set, const QString& value) {
    auto result = std::make_unique<tfm_Result>();
    result->FValueIsSet = set;
    if (set)
        result->FValueString = value;
    return result;
}

} // namespace

std::unique_ptr<tfm_Result> ChooseFileDialog(const QString& startPath, QWidget* parent) {
    return ChooseFileDialogEx(QString(), QString(), startPath, TFileDialogTypes{tFileDialog_Type::fd_AllFiles},
                              parent);
}

std::unique_ptr<tfm_Result> ChooseFileDialogEx(const QString& caption, const QString& label,
                                               const QString& startPath, TFileDialogTypes types, QWidget* parent) {
    tfm_FileChooserForm form(caption, label, startPath, types, parent);
    const bool set = form.ShowModal();
    return PathResult(set, form.pValue);
}

std::unique_ptr<tfm_Result> ChooseFileDialogEx(const QString& caption, const QString& label,
                                               const QString& startPath, bool applicationsOnly, QWidget* parent) {
    const TFileDialogTypes types = applicationsOnly ? TFileDialogTypes{tFileDialog_Type::fd_Application}
                                                    : TFileDialogTypes{tFileDialog_Type::fd_AllFiles};
    return ChooseFileDialogEx(caption, label, startPath, types, parent);
}

std::unique_ptr<tfm_Result> ChooseFolderDialog(const QString& startPath, QWidget* parent) {
    tfm_FolderChooserForm form(startPath, parent);
    const bool set = form.ShowModal();
    return PathResult(set, form.pValue);
}

namespace {

std::unique_ptr<tfm_Result> DriveResult(tfm_DriveGetValueForm& form) {
    auto result = std::make_unique<tfm_Result>();
    result->FValueIsSet = form.ShowModal();
    if (result->FValueIsSet) {
        result->FValueChar = form.pValue;
        result->FValueString = form.pValueRoot;
    }
    return result;
}

} // namespace

std::unique_ptr<tfm_Result> ChooseDriveDialog(QChar preselect, QWidget* parent) {
    tfm_DriveGetValueForm form(preselect, QString(), parent);
    return DriveResult(form);
}

std::unique_ptr<tfm_Result> ChooseDriveRootDialog(const QString& preselectRoot, QWidget* parent) {
    tfm_DriveGetValueForm form(QChar(), preselectRoot, parent);
    return DriveResult(form);
}

std::unique_ptr<tfm_Result> AskIntegerDialog(const QString& caption, const QString& label, int value,
                                             int lowerLimit, int upperLimit, QWidget* parent) {
    tfm_IntegerGetValueForm form(caption, label, value, lowerLimit, upperLimit, parent);
    auto result = std::make_unique<tfm_Result>();
    result->FValueIsSet = form.ShowModal();
    if (result->FValueIsSet)
        result->FValueInteger = form.pValue;
    return result;
}

std::unique_ptr<tfm_Result> AskTextDialog(const QString& nFormTitle, const QString& nLabelTitle,
                                          const QString& nValue, int nMaxLength, QWidget* parent) {
    tfm_StringGetValueForm form(nFormTitle, nLabelTitle, nValue, nMaxLength, parent);
    auto result = std::make_unique<tfm_Result>();
    result->FValueIsSet = form.ShowModal();
    if (result->FValueIsSet)
        result->FValueString = form.pValueString;
    return result;
}
