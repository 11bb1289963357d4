#pragma once

#include "desktop_window.h"

#include "gui/app/main_window_factory.h"

#include <memory>

// The main window as the program's start and the resident engine see it.
class TMainWindowHost : public IDesktopWindow {
public:
    explicit TMainWindowHost(TMainWindowStart start);
    ~TMainWindowHost() override;

    void Create(TAppContext& context) override;
    // The first show as the start asks for it (see ShowAtStart), then plain shows.
    void Show() override;
    void HideToTray() override;
    void BringToFront() override;
    void Close() override;
    bool IsShown() const override;
    bool EditorOpen() const override;
    bool TrayIconClick() override;
    void SetTrayAnimation(bool running) override;

    TfrmMain* Window() const { return fWindow.get(); }

private:
    TMainWindowStart fStart;
    bool fFirstShowDone = false;
    std::unique_ptr<TfrmMain> fWindow;
};
