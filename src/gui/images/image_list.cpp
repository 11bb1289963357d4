#include "gui/images/image_list.h"

#include <QGuiApplication>

int TLumoImageList::Add(const QString& name, const QPixmap& pixmap) {
    fItems.push_back({name, pixmap});
    return Count() - 1;
}

int TLumoImageList::Add(const QString& name, EProgramImage image, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap = ProgramPixmap(image, fWidth, ratio);
    if (fHeight != fWidth)
        pixmap = pixmap.scaled(QSize(fWidth, fHeight) * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return Add(name, pixmap);
}

int TLumoImageList::IndexOf(const QString& name) const {
    for (int i = 0; i < Count(); ++i) {
        if (fItems[i].name == name)
            return i;
    }
    return -1;
}

QPixmap TLumoImageList::Pixmap(int index) const {
    if (index < 0 || index >= Count())
        return {};
    return fItems[index].pixmap;
}
