#include "scheduler/schedule.h"

#include "scheduler/cron_entry.h"
#include "scheduler/schedule_clock.h"

#include <algorithm>

TSchedule::TSchedule(TScheduleHooks hooks)
    : fHooks(std::move(hooks)), fClock(std::make_shared<TSystemScheduleClock>()) {}

TSchedule::~TSchedule() {
    // The entries' timers belong to the clock: they go first.
    fEntries.clear();
    fBootTimer.reset();
}

void TSchedule::SetClock(std::shared_ptr<IScheduleClock> clock) {
    if (!clock)
        clock = std::make_shared<TSystemScheduleClock>();
    for (const auto& entry : fEntries) {
        entry->ArmTimer(false);
        TLumo_Crone* raw = entry.get();
        entry->SelfTimer = clock->MakeTimer([raw] { raw->SelfTimerTick(); });
    }
    fBootTimer.reset();
    fClock = std::move(clock);
}

TDateTime TSchedule::Now() const { return FromQDateTime(fClock->CurrentDateTime()); }

void TSchedule::BeginBoot(bool delayedStart) {
    fGlobal.DelayedStart = delayedStart;
    fGlobal.NowAppBoot = true;
}

void TSchedule::StartBootTimer() {
    fBootTimer = fClock->MakeTimer([this] {
        fGlobal.NowAppBoot = false;
        fBootTimer->Stop();
    });
    fBootTimer->Start(kBootPeriodMs);
}

void TSchedule::ArmAll(bool on) {
    for (const auto& entry : fEntries)
        entry->ArmTimer(on);
}

bool TSchedule::HasEnabledEntryFor(const QString& profileUID) const {
    return std::any_of(fEntries.begin(), fEntries.end(),
                       [&](const auto& entry) { return entry->pEnabled && entry->SenderUID() == profileUID; });
}

void TSchedule::RemoveEntriesOf(const QString& profileUID) {
    for (auto i = fEntries.size(); i-- > 0;)
        if (fEntries[i]->SenderUID() == profileUID)
            RemoveCron(*this, *fEntries[i]);
}

QString TSchedule::StoredProfileUID(const QString& uid) const {
    return fHooks.StoredProfileUID ? fHooks.StoredProfileUID(uid) : QString();
}

QStringList TSchedule::ProfileUIDs() const { return fHooks.ProfileUIDs ? fHooks.ProfileUIDs() : QStringList(); }

void TSchedule::StartProfile(const QString& uid) const {
    if (fHooks.StartProfile)
        fHooks.StartProfile(uid);
}
