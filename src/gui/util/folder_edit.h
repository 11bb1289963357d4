#pragma once

#include <QString>

#include <functional>

class QAction;
class QLineEdit;

// The small buttons inside an edit field. A folder button opens the folder
// picker at the field's text and takes the chosen folder; a paste button
// replaces the text with the clipboard's, cut to maxLength characters.
QAction* AddFolderButton(QLineEdit* field);
QAction* AddPasteButton(QLineEdit* field, int maxLength, std::function<void()> afterPaste = {});
QAction* AddFieldButton(QLineEdit* field, bool leading, const QString& iconName, std::function<void()> onClick);
