#include "util/main_thread.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <memory>
#include <mutex>

bool IsMainThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

namespace {

// Every call a thread queues for the main thread is posted under this lock,
// and the main thread takes it before it runs the call. Qt's event queue has
// a lock of its own, but the race detector cannot see into Qt; with this one
// it sees the posts of different threads, and the closure the main thread
// reads, in their real order. Held only while posting, never while waiting.
std::mutex& PostLock() {
    static std::mutex lock;
    return lock;
}

void PostUnderLock(QObject* receiver, std::function<void()> call) {
    const std::lock_guard<std::mutex> lock(PostLock());
    QMetaObject::invokeMethod(
        receiver,
        [call = std::move(call)] {
            { const std::lock_guard<std::mutex> posted(PostLock()); }
            call();
        },
        Qt::QueuedConnection);
}

// Tells a waiting RunOnMainThread that its call has run, or will never run:
// the call's closure is also dropped unrun when the application goes first.
class TCallDone {
public:
    TCallDone() = default;
    TCallDone(const TCallDone&) = delete;
    TCallDone& operator=(const TCallDone&) = delete;

    void Signal() {
        {
            const std::lock_guard<std::mutex> lock(fLock);
            fDone = true;
        }
        fChanged.notify_all();
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(fLock);
        fChanged.wait(lock, [this] { return fDone; });
    }

private:
    std::mutex fLock;
    std::condition_variable fChanged;
    bool fDone = false;
};

// Signals when it is destroyed: owned through a shared pointer by the call's
// closure, so the call is done when the closure goes, run or not.
class TSignalOnDrop {
public:
    explicit TSignalOnDrop(std::shared_ptr<TCallDone> done) : fDone(std::move(done)) {}
    TSignalOnDrop(const TSignalOnDrop&) = delete;
    TSignalOnDrop& operator=(const TSignalOnDrop&) = delete;
    ~TSignalOnDrop() { fDone->Signal(); }

private:
    std::shared_ptr<TCallDone> fDone;
};

} // namespace

void RunOnMainThread(const std::function<void()>& work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || IsMainThread()) {
        work();
        return;
    }
    // A queued call and a wait of our own rather than Qt's blocking queued
    // call, whose semaphore the race detector cannot see.
    auto done = std::make_shared<TCallDone>();
    {
        auto dropped = std::make_shared<TSignalOnDrop>(done);
        PostUnderLock(app, [&work, dropped] { work(); });
    }
    done->Wait();
}

void PostToMainThread(std::function<void()> work, QObject* receiver) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || IsMainThread()) {
        work();
        return;
    }
    PostUnderLock(receiver ? receiver : app, std::move(work));
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
