#include "gui/util/clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QUrl>

QString ClipboardText(int maxLength) {
    QString text = QApplication::clipboard()->text();
    if (maxLength > 0 && text.size() > maxLength)
        text.truncate(maxLength);
    return text;
}

void CopyFilesToClipboard(const QStringList& paths, bool cut) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    QByteArray gnome = cut ? QByteArrayLiteral("cut") : QByteArrayLiteral("copy");
    for (const QString& path : paths) {
        const QUrl url = QUrl::fromLocalFile(path);
        urls << url;
        gnome += '\n' + url.toEncoded();
    }
    data->setUrls(urls);
    data->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
    data->setText(paths.join(QLatin1Char('\n')));
    QApplication::clipboard()->setMimeData(data);
}
