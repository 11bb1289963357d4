#include "gui/images/program_images.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <mutex>

// The images are SVG files compiled into the library; a static library drops a
// resource nobody references, so the first use registers it explicitly.
static void EnsureProgramImagesResource() {
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(program_images); });
}

QString ProgramImageResource(EProgramImage image) {
    switch (image) {
    case EProgramImage::ActionStart: return QStringLiteral(":/images/action_start.svg");
    case EProgramImage::ActionStartActive: return QStringLiteral(":/images/action_start_active.svg");
    case EProgramImage::ActionWait: return QStringLiteral(":/images/action_wait.svg");
    case EProgramImage::ActionWaitActive: return QStringLiteral(":/images/action_wait_active.svg");
    case EProgramImage::ActionStop: return QStringLiteral(":/images/action_stop.svg");
    case EProgramImage::ActionStopActive: return QStringLiteral(":/images/action_stop_active.svg");
    case EProgramImage::ClockMark: return QStringLiteral(":/images/clock_mark.svg");
    case EProgramImage::NotificationInfo: return QStringLiteral(":/images/notification_info.svg");
    case EProgramImage::NotificationWarning: return QStringLiteral(":/images/notification_warning.svg");
    case EProgramImage::NotificationError: return QStringLiteral(":/images/notification_error.svg");
    case EProgramImage::NotificationUpdate: return QStringLiteral(":/images/notification_update.svg");
    case EProgramImage::TrayIcon: return QStringLiteral(":/images/tray_icon.svg");
    case EProgramImage::TrayFrame1: return QStringLiteral(":/images/tray_frame1.svg");
    case EProgramImage::TrayFrame2: return QStringLiteral(":/images/tray_frame2.svg");
    case EProgramImage::TrayFrame3: return QStringLiteral(":/images/tray_frame3.svg");
    case EProgramImage::TrayFrame4: return QStringLiteral(":/images/tray_frame4.svg");
    case EProgramImage::ProgramIcon: return QStringLiteral(":/images/program_icon.svg");
    }
    return {};
}

QByteArray ProgramImageSvg(EProgramImage image) {
    EnsureProgramImagesResource();
    QFile file(ProgramImageResource(image));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QPixmap ProgramPixmap(EProgramImage image, int logicalSize, qreal devicePixelRatio) {
    if (logicalSize <= 0 || devicePixelRatio <= 0)
        return {};
    // Rendered straight at the device size: scaling a 1x picture up would blur
    // the rows at 200%.
    QPixmap pixmap(QSize(logicalSize, logicalSize) * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(ProgramImageSvg(image));
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixmap.size())));
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon ProgramIcon(EProgramImage image) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ProgramPixmap(image, size));
    return icon;
}

EProgramImage TrayFrame(int frame) {
    static constexpr EProgramImage kFrames[kTrayFrameCount] = {
        EProgramImage::TrayFrame1, EProgramImage::TrayFrame2, EProgramImage::TrayFrame3, EProgramImage::TrayFrame4};
    const int index = ((frame % kTrayFrameCount) + kTrayFrameCount) % kTrayFrameCount;
    return kFrames[index];
}

QIcon ProgramSvgIcon(const QString& name) {
    EnsureProgramImagesResource();
    QFile file(QStringLiteral(":/images/%1.svg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QSvgRenderer renderer(file.readAll());
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
