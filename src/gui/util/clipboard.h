#pragma once

#include <QString>
#include <QStringList>

// The clipboard's text; with maxLength above 0 only its first maxLength characters.
QString ClipboardText(int maxLength);

// Puts files on the clipboard so that file managers paste them: a URI list,
// the GNOME list with "copy" or "cut" (which Nautilus, Nemo and Caja read; KDE
// reads the URI list) and the paths as plain text.
void CopyFilesToClipboard(const QStringList& paths, bool cut);
