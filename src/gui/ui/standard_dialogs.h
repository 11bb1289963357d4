#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <memory>

class QWidget;

// The modal questions and value dialogs of the program. Each routine builds its
// dialog, shows it modally, and destroys it before returning. `parent` only
// places the dialog; without one it is centred on the screen's free area.

// Modal results, as the callers compare them.
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

// Kinds of MessageQuestion: one OK button, Yes/No/Cancel, Yes/No.
inline constexpr int mqOk = 0;
inline constexpr int mqYesNoCancel = 3;
inline constexpr int mqYesNo = 4;

// What a value dialog returns; FValueIsSet is false when the user cancelled.
struct tfm_Result {
    bool FValueIsSet = false;
    QString FValueString;
    QString FValueString2;
    int FValueInteger = -1;
    QChar FValueChar;
    bool FValueBoolean = false;
};

enum class tFileDialog_Type { fd_AllFiles, fd_Application };

// A set of file kinds the file dialog offers; an empty set counts as all files.
class TFileDialogTypes {
public:
    TFileDialogTypes() = default;
    TFileDialogTypes(std::initializer_list<tFileDialog_Type> types) {
        for (tFileDialog_Type type : types)
            fBits |= Bit(type);
    }
    bool Contains(tFileDialog_Type type) const { return (fBits & Bit(type)) != 0; }
    bool IsEmpty() const { return fBits == 0; }

private:
    static unsigned Bit(tFileDialog_Type type) { return 1u << static_cast<unsigned>(type); }
    unsigned fBits = 0;
};

// The filter lines ("Text|masks") the file dialog's picker offers for a set,
// programs first.
QStringList FileDialogFilterLines(TFileDialogTypes types);

int MessageQuestion(const QString& title, const QString& text, int kind, QWidget* parent = nullptr);
// Yes unlocks after a five-second countdown; No has the focus.
int YesNoQuestion(const QString& title, const QString& text, QWidget* parent = nullptr);

std::unique_ptr<tfm_Result> ChooseFileDialog(const QString& startPath, QWidget* parent = nullptr);
std::unique_ptr<tfm_Result> ChooseFileDialogEx(const QString& caption, const QString& label,
                                               const QString& startPath, TFileDialogTypes types,
                                               QWidget* parent = nullptr);
// Kept for the first callers: true offers programs only, false all files.
std::unique_ptr<tfm_Result> ChooseFileDialogEx(const QString& caption, const QString& label,
                                               const QString& startPath, bool applicationsOnly,
                                               QWidget* parent = nullptr);
std::unique_ptr<tfm_Result> ChooseFolderDialog(const QString& startPath, QWidget* parent = nullptr);
// A present drive; FValueChar is the first character of its root (the drive
// letter on Windows) and FValueString the root itself ("/media/usb/", "E:\\").
// A null preselect selects the first drive.
std::unique_ptr<tfm_Result> ChooseDriveDialog(QChar preselect, QWidget* parent = nullptr);
// The same, preselecting the drive with this root (mount point); a name of
// its own so that ChooseDriveDialog(0) stays unambiguous.
std::unique_ptr<tfm_Result> ChooseDriveRootDialog(const QString& preselectRoot, QWidget* parent = nullptr);
std::unique_ptr<tfm_Result> AskIntegerDialog(const QString& caption, const QString& label, int value,
                                             int lowerLimit, int upperLimit, QWidget* parent = nullptr);
std::unique_ptr<tfm_Result> AskTextDialog(const QString& nFormTitle, const QString& nLabelTitle,
                                          const QString& nValue, int nMaxLength, QWidget* parent = nullptr);
