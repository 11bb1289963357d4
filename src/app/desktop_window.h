#pragma once

#include <functional>

class TAppContext;

// What the program's start and the resident engine need of the main window.
// Today's placeholder list implements it; the main window takes its place.
class IDesktopWindow {
public:
    virtual ~IDesktopWindow() = default;

    // Builds the window from the loaded context (profiles in display order).
    virtual void Create(TAppContext& context) = 0;
    // Makes the window visible (the first show among them).
    virtual void Show() = 0;
    // Hides the window; with a tray icon it stays reachable from there.
    virtual void HideToTray() = 0;
    // Shows a hidden or minimised window and raises it.
    virtual void BringToFront() = 0;
    // Closes the window, which ends the program's event loop.
    virtual void Close() = 0;
    virtual bool IsShown() const = 0;
    // The scheduler window or the profile editor is open.
    virtual bool EditorOpen() const = 0;
    // A click on the tray icon: shows a hidden window, hides a visible one
    // when the tray option is on. True when it showed the window.
    virtual bool TrayIconClick() = 0;
    // The tray icon's animation while a run is under way.
    virtual void SetTrayAnimation(bool running) = 0;

    // Told when the window is hidden (true) or shown (false).
    std::function<void(bool hidden)> OnHiddenChanged;
};
