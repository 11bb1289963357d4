#include "util/main_thread.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

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
    if (!QCoreApplication::instance() || !IsMainThread()) {
        while (busy())
            QThread::msleep(5);
        return;
    }
    // A worker's call is served the moment it arrives; the 5 ms tick only
    // makes sure a condition that changes without an event is seen.
    QTimer tick;
    tick.start(5);
    while (busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
