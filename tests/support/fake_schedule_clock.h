#pragma once

#include "scheduler/schedule_clock.h"

#include <QDateTime>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

// A clock that stands still until the test moves it; its timers tick in
// order of their deadlines while Advance walks through the time, as Qt's
// timers would have.
class FakeScheduleClock : public IScheduleClock {
public:
    explicit FakeScheduleClock(QDateTime start) : fNowMs(start.toMSecsSinceEpoch()) {}

    QDateTime CurrentDateTime() const override { return QDateTime::fromMSecsSinceEpoch(fNowMs); }
    qint64 NowMs() const { return fNowMs; }
    void Set(const QDateTime& moment) { fNowMs = moment.toMSecsSinceEpoch(); }

    std::unique_ptr<IScheduleTimer> MakeTimer(std::function<void()> onTick) override {
        auto timer = std::make_unique<Timer>(*this, std::move(onTick));
        fTimers.push_back(timer.get());
        return timer;
    }

    // Moves the clock forward by ms, ticking every timer whose deadline comes
    // on the way (a tick may start, stop or destroy timers).
    void Advance(qint64 ms) {
        const qint64 target = fNowMs + ms;
        for (;;) {
            Timer* next = nullptr;
            for (Timer* t : fTimers)
                if (t->active && t->deadline <= target && (!next || t->deadline < next->deadline))
                    next = t;
            if (!next)
                break;
            fNowMs = std::max(fNowMs, next->deadline);
            next->deadline = fNowMs + std::max<qint64>(next->interval, 1);
            ++next->ticks;
            next->onTick();
        }
        fNowMs = target;
    }

    struct Timer : IScheduleTimer {
        Timer(FakeScheduleClock& clock, std::function<void()> tick) : owner(clock), onTick(std::move(tick)) {}
        ~Timer() override { std::erase(owner.fTimers, this); }
        void Start(int ms) override {
            interval = ms;
            active = true;
            deadline = owner.fNowMs + std::max(ms, 1);
        }
        void Stop() override { active = false; }
        bool IsActive() const override { return active; }
        int IntervalMs() const override { return interval; }

        FakeScheduleClock& owner;
        std::function<void()> onTick;
        bool active = false;
        int interval = 0;
        qint64 deadline = 0;
        int ticks = 0;
    };

private:
    qint64 fNowMs;
    std::vector<Timer*> fTimers;
};
