#pragma once

#include "gui/images/program_images.h"

#include <QIcon>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the notification area: its first image while the
// queue is idle, its animation frames (100 ms each) while a run is under way.
// Whether the desktop has a tray at all is asked through a function, so that
// tests can put a tray where the platform has none.
class TTrayIcon : public QObject {
    Q_OBJECT
public:
    using TAvailability = std::function<bool()>;

    explicit TTrayIcon(QMenu* menu, QObject* parent = nullptr);
    ~TTrayIcon() override;

    static bool SystemTrayAvailable();
    void SetAvailability(TAvailability available) { fAvailable = std::move(available); }
    bool Available() const { return fAvailable(); }

    void Show();
    void Hide();
    bool IsVisible() const { return fVisible; }

    // Animates while a run is under way; the first image otherwise.
    void SetRunning(bool running);
    bool IsAnimating() const { return fAnimation.isActive(); }
    // 0 = the first image, 1.. = the animation frames.
    int ShownFrame() const { return fFrame; }

signals:
    void clicked();

private:
    void NextFrame();
    void ShowFrame(int frame);

    TAvailability fAvailable;
    std::unique_ptr<QSystemTrayIcon> fIcon;
    // The first image and the frames, rendered once.
    QIcon fImages[kTrayFrameCount + 1];
    QTimer fAnimation;
    int fFrame = 0;
    bool fVisible = false;
};
