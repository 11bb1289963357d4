#pragma once

#include "os/processes.h"

#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <cmath>

// The priority the main thread wants for a worker; the worker applies it
// itself at its next check, as a thread can only change its own priority.
class TWantedPriority {
public:
    // Any thread.
    void Request(bool low) {
        fLow = low;
        fChanged = true;
    }
    // On the worker.
    void ApplyIfChanged() {
        if (fChanged.exchange(false))
            os::SetCurrentThreadLowPriority(fLow);
    }

private:
    std::atomic<bool> fLow{false};
    std::atomic<bool> fChanged{false};
};

// Paces a worker's progress display: a new whole percent at most every
// 50 ms, so that a tree of small files does not flood the main thread.
class TProgressPacer {
public:
    void Reset() {
        fShown = -1;
        fClock.invalidate();
    }
    // The whole percent (0 to 100) to show now, or -1 when nothing is due.
    int Next(double progress) {
        const int percent = std::clamp(static_cast<int>(std::lround(progress)), 0, 100);
        if (percent == fShown || (fClock.isValid() && fClock.elapsed() < kIntervalMs))
            return -1;
        fShown = percent;
        fClock.start();
        return percent;
    }

private:
    static constexpr qint64 kIntervalMs = 50;
    int fShown = -1;
    QElapsedTimer fClock;
};
