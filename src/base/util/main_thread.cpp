#include "util/main_thread.h"

#include <QCoreApplication>
#include <QThread>

bool IsMainThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void RunOnMainThread(const std::function<void()>& work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || IsMainThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(app, work, Qt::BlockingQueuedConnection);
}

void ServeMainThreadWhile(const std::function<bool()>& busy) {
    while (busy()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (busy())
            QThread::msleep(5);
    }
}
