#pragma once

#include "util/tsan_annotations.h"

#include <QThread>

// The worker thread of one run (sync, archive backup, folder archiving).
// Execute is run(); everything that touches shared state or the display goes
// through RunOnMainThread. The thread object is owned by the task queue entry
// that runs it and released after the end routine has called Finished.
class TEngineThread : public QThread {
    Q_OBJECT
public:
    TEngineThread() {
        // Whoever deletes the worker waits for its end through Qt's thread
        // end, which the race detector cannot see; the finished signal is the
        // last thing the worker's thread emits, so mark the end there.
        connect(
            this, &QThread::finished, this, [this] { NORVANE_HAND_OVER(static_cast<QThread*>(this)); },
            Qt::DirectConnection);
    }

    // Called on the main thread: requests the stop (see the engines), tells the
    // scanner and a running script thread to stop, waits for the script thread
    // while serving the main thread, and resets the task object's progress and
    // status at once. The worker then winds down and reaches its end routine.
    virtual void AbortTask() = 0;
    // Lowest or normal priority for the worker while it runs.
    virtual void SetLowPriority(bool low) = 0;
};
