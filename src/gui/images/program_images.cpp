#include "gui/images/program_images.h"

#include <QPainter>

// Plain painted stand-ins until the drawn images exist; the names and the
// rendering entry points are the ones the windows keep.

QPixmap ProgramPixmap(EProgramImage image, int logicalSize, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(logicalSize, logicalSize) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor::fromHsv((static_cast<int>(image) * 37) % 360, 160, 200));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(1, 1, logicalSize - 2, logicalSize - 2));
    return pixmap;
}

QIcon ProgramIcon(EProgramImage image) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(ProgramPixmap(image, size));
    return icon;
}
