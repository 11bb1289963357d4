#include "main_window_host.h"

#include "gui/app/editor_hooks.h"
#include "gui/app/tray_icon.h"

#include <QApplication>

TMainWindowHost::TMainWindowHost(TMainWindowStart start) : fStart(start) {}

TMainWindowHost::~TMainWindowHost() = default;

void TMainWindowHost::Create(TAppContext& context) {
    fWindow = std::make_unique<TfrmMain>(context, fStart);
    InstallEditorHooks(*fWindow, context);
    QObject::connect(fWindow.get(), &TfrmMain::hiddenChanged, fWindow.get(), [this](bool hidden) {
        if (OnHiddenChanged)
            OnHiddenChanged(hidden);
    });
    // The window's close has run its shutdown steps; the resident engine's
    // own follow once the event loop has ended.
    QObject::connect(fWindow.get(), &TfrmMain::closed, qApp, &QApplication::quit, Qt::QueuedConnection);
}

void TMainWindowHost::Show() {
    if (!fFirstShowDone) {
        fFirstShowDone = true;
        ShowAtStart(*fWindow, fStart);
        return;
    }
    fWindow->BringToFront();
}

void TMainWindowHost::HideToTray() { fWindow->MinimizeToTray(); }

void TMainWindowHost::BringToFront() {
    fFirstShowDone = true;
    fWindow->BringToFront();
}

void TMainWindowHost::Close() { fWindow->close(); }

bool TMainWindowHost::IsShown() const { return fWindow && !fWindow->MainFormHidden(); }

bool TMainWindowHost::EditorOpen() const { return QApplication::activeModalWidget() != nullptr; }

bool TMainWindowHost::TrayIconClick() {
    fFirstShowDone = true;
    const bool wasHidden = fWindow->MainFormHidden();
    fWindow->TrayIconClick();
    return wasHidden && !fWindow->MainFormHidden();
}

void TMainWindowHost::SetTrayAnimation(bool running) { fWindow->Tray()->SetRunning(running); }
