#include "util/main_thread.h"

#include "util/tsan_annotations.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <memory>

bool IsMainThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

namespace {

// Part of the queued call's closure. Qt may destroy the closure on the worker,
// inside the call and before it returns, right after the main thread read it:
// taking the hand-off in the destructor orders that read before the release.
class THandOffOnDestroy {
public:
    explicit THandOffOnDestroy(const void* key) : fKey(key) {}
    THandOffOnDestroy(const THandOffOnDestroy&) = default;
    ~THandOffOnDestroy() { NORVANE_HANDED_OVER(fKey); }
    const void* Key() const { return fKey; }

private:
    const void* fKey;
};

} // namespace

void RunOnMainThread(const std::function<void()>& work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || IsMainThread()) {
        work();
        return;
    }
    // The call and its return pass through Qt's event queue and semaphore,
    // which the race detector cannot see: mark both hand-offs.
    const char handOff = 0;
    NORVANE_HAND_OVER(&handOff);
    QMetaObject::invokeMethod(
        app,
        [&work, mark = THandOffOnDestroy(&handOff)] {
            NORVANE_HANDED_OVER(mark.Key());
            work();
            NORVANE_HAND_OVER(mark.Key());
        },
        Qt::BlockingQueuedConnection);
    NORVANE_HANDED_OVER(&handOff);
}

void PostToMainThread(std::function<void()> work, QObject* receiver) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || IsMainThread()) {
        work();
        return;
    }
    // The shared work is the hand-off's key: it lives until the call and
    // every copy of its closure are gone.
    auto call = std::make_shared<const std::function<void()>>(std::move(work));
    NORVANE_HAND_OVER(call.get());
    QMetaObject::invokeMethod(
        receiver ? receiver : app,
        [call, mark = THandOffOnDestroy(call.get())] {
            NORVANE_HANDED_OVER(mark.Key());
            (*call)();
            NORVANE_HAND_OVER(mark.Key());
        },
        Qt::QueuedConnection);
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
