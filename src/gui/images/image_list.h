#pragma once

#include "gui/images/program_images.h"

#include <QPixmap>
#include <QString>
#include <QVector>

// A list of same-sized images addressed by index, as the links and popups use
// them: a link's images come in threes (active, normal, disabled) at
// consecutive indices, a popup names one image by its index.
class TLumoImageList {
public:
    explicit TLumoImageList(int width = 16, int height = 16) : fWidth(width), fHeight(height) {}

    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    int Count() const { return static_cast<int>(fItems.size()); }

    // Appends an image under a name and returns its index.
    int Add(const QString& name, const QPixmap& pixmap);
    // Appends one of the program's images, drawn at the list's size for the
    // screen's ratio; returns its index.
    int Add(const QString& name, EProgramImage image, qreal devicePixelRatio = 0);
    // -1 when no image has the name.
    int IndexOf(const QString& name) const;
    // A null pixmap for an index outside the list.
    QPixmap Pixmap(int index) const;

private:
    struct TItem {
        QString name;
        QPixmap pixmap;
    };
    int fWidth;
    int fHeight;
    QVector<TItem> fItems;
};
