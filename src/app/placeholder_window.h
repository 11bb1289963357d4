#pragma once

#include "desktop_window.h"

#include <QListWidget>

#include <memory>

// Until the main window exists: the loaded profiles in display order.
class TPlaceholderWindow : public IDesktopWindow {
public:
    TPlaceholderWindow();
    ~TPlaceholderWindow() override;

    void Create(TAppContext& context) override;
    void Show() override;
    void HideToTray() override;
    void BringToFront() override;
    void Close() override;
    bool IsShown() const override;
    bool EditorOpen() const override { return false; }
    bool TrayIconClick() override;
    void SetTrayAnimation(bool) override {}

private:
    TAppContext* fContext = nullptr;
    std::unique_ptr<QListWidget> fList;
};
