#pragma once

#include <QIcon>
#include <QPixmap>

// Every image of the program, drawn for it. Pixmaps are rendered for the
// device pixel ratio asked for, so rows stay crisp at any scaling.
enum class EProgramImage {
    ActionStart,
    ActionStartActive,
    ActionWait,
    ActionWaitActive,
    ActionStop,
    ActionStopActive,
    ClockMark,
    NotificationInfo,
    NotificationWarning,
    NotificationError,
    NotificationUpdate,
    TrayIcon,
    TrayFrame1,
    TrayFrame2,
    TrayFrame3,
    TrayFrame4,
    ProgramIcon,
};

inline constexpr int kTrayFrameCount = 4;

inline constexpr EProgramImage kAllProgramImages[] = {
    EProgramImage::ActionStart,        EProgramImage::ActionStartActive,   EProgramImage::ActionWait,
    EProgramImage::ActionWaitActive,   EProgramImage::ActionStop,          EProgramImage::ActionStopActive,
    EProgramImage::ClockMark,          EProgramImage::NotificationInfo,    EProgramImage::NotificationWarning,
    EProgramImage::NotificationError,  EProgramImage::NotificationUpdate,  EProgramImage::TrayIcon,
    EProgramImage::TrayFrame1,         EProgramImage::TrayFrame2,          EProgramImage::TrayFrame3,
    EProgramImage::TrayFrame4,         EProgramImage::ProgramIcon,
};

// A square pixmap of logicalSize device-independent pixels, drawn at the given
// ratio (its devicePixelRatio is set to it).
QPixmap ProgramPixmap(EProgramImage image, int logicalSize, qreal devicePixelRatio = 1.0);
// Pixmaps from 16 to 256 pixels, for window and tray icons.
QIcon ProgramIcon(EProgramImage image);
// The resource path of an image (":/images/....svg") and its SVG text, e.g. for
// installing the program icon as a scalable theme icon.
QString ProgramImageResource(EProgramImage image);
QByteArray ProgramImageSvg(EProgramImage image);
// The tray animation's frame for a running counter (wraps around).
EProgramImage TrayFrame(int frame);

// Small pictures of the edit fields' buttons, by the name of their SVG file
// under :/images ("edit_paste"); a null icon for an unknown name.
QIcon ProgramSvgIcon(const QString& name);
