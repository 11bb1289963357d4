#pragma once

#include "gui/app/main_window.h"

#include <QStringList>

#include <memory>

class TAppContext;

// What the program's own arguments say about the window: "/AUTORUN" anywhere
// (trimmed, any case) starts it without showing the window.
TMainWindowStart MainWindowStartFromArguments(const QStringList& arguments, bool settingsFileExisted);

// The first show: the window, or, when started by the autorun entry, only the
// tray icon (minimised to the taskbar where the desktop has no tray, so that
// the window can still be reached). CreateMainWindow builds the window over
// loaded settings and shows it so.
void ShowAtStart(TfrmMain& window, const TMainWindowStart& start);
std::unique_ptr<TfrmMain> CreateMainWindow(TAppContext& context, const TMainWindowStart& start);
