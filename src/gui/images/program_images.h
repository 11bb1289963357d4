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

QPixmap ProgramPixmap(EProgramImage image, int logicalSize, qreal devicePixelRatio = 1.0);
QIcon ProgramIcon(EProgramImage image);
