#include "scheduler/schedule_clock.h"

#include "util/date_time.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

class TQtScheduleTimer : public IScheduleTimer {
public:
    TQtScheduleTimer(std::function<void()> onTick, double scale) : fScale(scale) {
        QObject::connect(&fTimer, &QTimer::timeout, &fTimer, std::move(onTick));
    }
    void Start(int intervalMs) override {
        fInterval = intervalMs;
        fTimer.start(std::max(intervalMs > 0 ? 1 : 0, static_cast<int>(std::lround(intervalMs / fScale))));
    }
    void Stop() override { fTimer.stop(); }
    bool IsActive() const override { return fTimer.isActive(); }
    int IntervalMs() const override { return fInterval; }

private:
    QTimer fTimer;
    int fInterval = 0;
    double fScale;
};

} // namespace

QDateTime TSystemScheduleClock::CurrentDateTime() const { return QDateTime::currentDateTime(); }

std::unique_ptr<IScheduleTimer> TSystemScheduleClock::MakeTimer(std::function<void()> onTick) {
    return std::make_unique<TQtScheduleTimer>(std::move(onTick), 1.0);
}

TScaledScheduleClock::TScaledScheduleClock(QDateTime start, double scale)
    : fStartMs(start.toMSecsSinceEpoch()), fRealStartMs(QDateTime::currentMSecsSinceEpoch()), fScale(scale) {}

QDateTime TScaledScheduleClock::CurrentDateTime() const {
    const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - fRealStartMs;
    return QDateTime::fromMSecsSinceEpoch(fStartMs + static_cast<qint64>(std::llround(elapsed * fScale)));
}

std::unique_ptr<IScheduleTimer> TScaledScheduleClock::MakeTimer(std::function<void()> onTick) {
    return std::make_unique<TQtScheduleTimer>(std::move(onTick), fScale);
}

std::shared_ptr<IScheduleClock> ScheduleClockFromEnvironment() {
    const QString value = qEnvironmentVariable("NORVANE_TEST_TIME_SCALE");
    if (value.isEmpty())
        return nullptr;
    const QStringList parts = value.split(QLatin1Char('@'));
    bool ok = false;
    const double scale = parts[0].toDouble(&ok);
    if (!ok || !(scale > 0))
        return nullptr;
    QDateTime start = QDateTime::currentDateTime();
    if (parts.size() > 1) {
        try {
            const TDateTime moment = StampToDateTime(parts[1]);
            if (moment != 0)
                start = ToQDateTime(moment);
        } catch (const EConvertError&) {
        }
    }
    return std::make_shared<TScaledScheduleClock>(start, scale);
}
