#pragma once

#include <QString>

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

int MessageQuestion(const QString& title, const QString& text, int kind, QWidget* parent = nullptr);
// Yes unlocks after a five-second countdown; No has the focus.
int YesNoQuestion(const QString& title, const QString& text, QWidget* parent = nullptr);

std::unique_ptr<tfm_Result> ChooseFileDialog(const QString& startPath, QWidget* parent = nullptr);
std::unique_ptr<tfm_Result> ChooseFileDialogEx(const QString& caption, const QString& label,
                                               const QString& startPath, bool applicationsOnly,
                                               QWidget* parent = nullptr);
std::unique_ptr<tfm_Result> ChooseFolderDialog(const QString& startPath, QWidget* parent = nullptr);
std::unique_ptr<tfm_Result> ChooseDriveDialog(QChar preselect, QWidget* parent = nullptr);
std::unique_ptr<tfm_Result> AskIntegerDialog(const QString& caption, const QString& label, int value,
                                             int lowerLimit, int upperLimit, QWidget* parent = nullptr);
std::unique_ptr<tfm_Result> AskTextDialog(const QString& nFormTitle, const QString& nLabelTitle,
                                          const QString& nValue, int nMaxLength, QWidget* parent = nullptr);
