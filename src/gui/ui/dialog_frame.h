#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>

#include <initializer_list>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The one frame of the standard dialogs and the builders their controls come
// from. A dialog is a fixed-size window centred on the free screen area with a
// coloured band along its bottom that holds the buttons.

inline constexpr int kDialogBandHeight = 48;
inline constexpr int kDialogButtonWidth = 100;
inline constexpr int kDialogButtonHeight = 25;
inline constexpr int kDialogButtonTop = 12;

// A dialog window of the given size (the area inside its frame), not
// resizable, centred on WorkAreaRect. parent owns it (none: a window of its own).
QDialog* CreateDialogForm(const QString& caption, int width, int height, QWidget* parent);

// The bottom band with its separator line, in the colours of tfm_Settings.
QFrame* AddBottomBand(QDialog* form);

QLabel* AddLabel(QWidget* parent, const QString& caption, int top, int left);
// A button; with an icon, drawn centred and the caption left out.
QPushButton* AddButton(QWidget* parent, const QString& caption, int top, int left, int width,
                       const QIcon& icon = QIcon());
// A whole-number field: digits and signs only; out of range or empty is
// brought to the nearest limit when it loses the focus.
QSpinBox* AddNumberField(QWidget* parent, int top, int left, int width, int value, int lowerLimit, int upperLimit);
// An edit field; with an icon, a button inside its right end.
QLineEdit* AddButtonedEdit(QWidget* parent, const QString& text, int top, int left, int width,
                           const QIcon& rightButton = QIcon());
// A drop-down list to choose from (no typing).
QComboBox* AddDropDownList(QWidget* parent, int top, int left, int width);
QCheckBox* AddCheckBox(QWidget* parent, const QString& caption, int top, int left, int width, bool checked);
QRadioButton* AddRadioButton(QWidget* parent, const QString& caption, int top, int left, bool checked);

// Moves buttons into the band: from the left (first at firstLeft, each next
// one 15 pixels right of the previous) or right-aligned (the last one 126
// pixels from the right edge, 115 between their starts). Tab order follows.
void PlaceBandButtons(QDialog* form, std::initializer_list<QPushButton*> buttons, bool leftSide, int firstLeft);

// The right button of an edit field made by AddButtonedEdit, or nullptr.
class QAction;
QAction* EditFieldButton(QLineEdit* edit);
