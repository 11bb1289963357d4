#include "gui/app/tray_icon.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace {
constexpr int kFrameMs = 100;

// Frame 0 is the icon at rest; 1 to kTrayFrameCount are the animation's.
EProgramImage FrameImage(int frame) {
    return frame <= 0 ? EProgramImage::TrayIcon : TrayFrame(frame - 1);
}
} // namespace

TTrayIcon::TTrayIcon(QMenu* menu, QObject* parent)
    : QObject(parent), fAvailable(&TTrayIcon::SystemTrayAvailable), fIcon(std::make_unique<QSystemTrayIcon>()) {
    fIcon->setContextMenu(menu);
    fIcon->setToolTip(QStringLiteral("Norvane Backup"));
    for (int frame = 0; frame <= kTrayFrameCount; ++frame)
        fImages[frame] = ProgramIcon(FrameImage(frame));
    fIcon->setIcon(fImages[0]);
    connect(fIcon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit clicked();
    });
    fAnimation.setInterval(kFrameMs);
    connect(&fAnimation, &QTimer::timeout, this, &TTrayIcon::NextFrame);
}

TTrayIcon::~TTrayIcon() = default;

bool TTrayIcon::SystemTrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TTrayIcon::Show() {
    fVisible = true;
    if (Available())
        fIcon->show();
}

void TTrayIcon::Hide() {
    fVisible = false;
    fIcon->hide();
}

void TTrayIcon::SetRunning(bool running) {
    if (running) {
        if (!fAnimation.isActive()) {
            ShowFrame(1);
            fAnimation.start();
        }
        return;
    }
    fAnimation.stop();
    ShowFrame(0);
}

void TTrayIcon::NextFrame() { ShowFrame(fFrame % kTrayFrameCount + 1); }

void TTrayIcon::ShowFrame(int frame) {
    fFrame = frame;
    fIcon->setIcon(fImages[frame]);
}
