#pragma once

#include <QDateTime>

#include <functional>
#include <memory>

// A repeating timer of the schedule: after Start it calls its tick every
// interval until Stop. Main thread only.
class IScheduleTimer {
public:
    virtual ~IScheduleTimer() = default;
    // (Re)starts the timer with the interval; the first tick comes one interval later.
    virtual void Start(int intervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    virtual int IntervalMs() const = 0;
};

// Where the schedule reads the time and gets its timers from. The program
// uses the system clock; tests put in a clock they move by hand.
class IScheduleClock {
public:
    virtual ~IScheduleClock() = default;
    // The current moment, in local time.
    virtual QDateTime CurrentDateTime() const = 0;
    virtual std::unique_ptr<IScheduleTimer> MakeTimer(std::function<void()> onTick) = 0;
};

// The system clock and Qt timers.
class TSystemScheduleClock : public IScheduleClock {
public:
    QDateTime CurrentDateTime() const override;
    std::unique_ptr<IScheduleTimer> MakeTimer(std::function<void()> onTick) override;
};

// A clock that runs `scale` times faster than the system clock from `start`
// on, with timers shortened by the same factor (at least 1 ms). A test hook:
// a resident program can be watched through a day of schedule in minutes.
class TScaledScheduleClock : public IScheduleClock {
public:
    TScaledScheduleClock(QDateTime start, double scale);
    QDateTime CurrentDateTime() const override;
    std::unique_ptr<IScheduleTimer> MakeTimer(std::function<void()> onTick) override;

private:
    const qint64 fStartMs;
    const qint64 fRealStartMs;
    const double fScale;
};

// The test hook NORVANE_TEST_TIME_SCALE=factor[@yyyymmddhhnnss]: a scaled
// clock starting now or at the given local moment. Null when the variable is
// unset or not a positive number, which is how the program runs normally.
std::shared_ptr<IScheduleClock> ScheduleClockFromEnvironment();
