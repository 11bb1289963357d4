#pragma once

#include "gui/ui/standard_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QObject>
#include <QPointer>
#include <QString>


// The dialogs that ask for one value. Each is built when asked for, shown
// modally by its entry routine in standard_dialogs.h and destroyed with it.

// The part shared by every value dialog: window, caption label, band, buttons.
class tfm_ValueForm : public QObject {
    Q_OBJECT
public:
    ~tfm_ValueForm() override;
    // Shows the dialog modally; true when a value was confirmed.
    bool ShowModal();

    QPointer<QDialog> sForm;
    QPointer<QLabel> LabelTitle;
    QPointer<QFrame> PanelBig;
    QPointer<QFrame> PanelLine;
    QPointer<QPushButton> pButtonApply;
    QPointer<QPushButton> pButtonCancel;
    bool pValueSet = false;

protected:
    tfm_ValueForm(const QString& caption, int width, int height, QWidget* parent);
    // Apply and Cancel in the band, placed from the left or right-aligned.
    void AddApplyCancel(bool leftSide, int firstLeft);
    // Called by Apply; confirms and closes, or keeps the dialog open.
    virtual void Apply() = 0;
    void Confirm();
    // The warning popup the path dialogs give for a bad path.
    static void WarnInvalid(const QString& text);
};

// A file: a read-only field with a button that opens the system picker.
class tfm_FileChooserForm : public tfm_ValueForm {
    Q_OBJECT
public:
    tfm_FileChooserForm(const QString& caption, const QString& label, const QString& startPath,
                        TFileDialogTypes types, QWidget* parent);
    QString pValue;
    QPointer<QLineEdit> pFullName;
    TFileDialogTypes pFileType;

protected:
    void Apply() override;

private:
    void Browse();
};

// A folder: the same with the folder picker; the value ends with a separator.
class tfm_FolderChooserForm : public tfm_ValueForm {
    Q_OBJECT
public:
    tfm_FolderChooserForm(const QString& startPath, QWidget* parent);
    QString pValue;
    QPointer<QLineEdit> pFullName;

protected:
    void Apply() override;

private:
    void Browse();
};

// A present drive from a list; preselected by its first character or root.
class tfm_DriveGetValueForm : public tfm_ValueForm {
    Q_OBJECT
public:
    tfm_DriveGetValueForm(QChar preselectLetter, const QString& preselectRoot, QWidget* parent);
    QChar pValue;
    QString pValueRoot;
    QPointer<QComboBox> pComboBox;

protected:
    void Apply() override;

private:
    QStringList fRoots;
};

// A whole number between two limits.
class tfm_IntegerGetValueForm : public tfm_ValueForm {
    Q_OBJECT
public:
    tfm_IntegerGetValueForm(const QString& caption, const QString& label, int value, int lowerLimit,
                            int upperLimit, QWidget* parent);
    int pValue = -1;
    QPointer<QSpinBox> pSpin;

protected:
    void Apply() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// A text that is not blank, at most a given length.
class tfm_StringGetValueForm : public tfm_ValueForm {
    Q_OBJECT
public:
    tfm_StringGetValueForm(const QString& caption, const QString& label, const QString& value, int maxLength,
                           QWidget* parent);
    QString pValueString;
    QPointer<QLineEdit> pBe;

protected:
    void Apply() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PasteClipboard();
    int fMaxLength;
};
