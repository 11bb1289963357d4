#include "scheduler/cron_entry.h"

#include "scheduler/schedule.h"
#include "util/stamp_uid.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kMsPerDay = 86400000;
constexpr qint64 kDelayedStartMs = 300000;

TDaysRepeat WeekdayOf(TDateTime date) { return static_cast<TDaysRepeat>(DecodeDateTime(date).dayOfWeek - 1); }

qint64 DayCountToMs(TDateTime days) { return static_cast<qint64>(std::llround(days * kMsPerDay)); }

} // namespace

TLumo_Crone::TLumo_Crone(TSchedule& schedule, const QString& uid, const TCroneSettings& nSettings)
    : fSchedule(schedule) {
    SelfTimer = schedule.Clock().MakeTimer([this] { SelfTimerTick(); });
    pUID = uid;
    pSystem = nSettings.System;
    pLastAction = nSettings.LastAction;
    pOnAction = nSettings.NotifyEvent;
    pEnabled = nSettings.Enabled;
    pExpiredCron = nSettings.ExpiredCron;
    pRepeat = nSettings.CronRepeat;
    fCronSender.SenderUID = nSettings.CronSender.SenderUID;
    switch (pRepeat) {
    case TCronRepeat::trOnce: pActionDateTime = nSettings.OnceDateTime; break;
    case TCronRepeat::trEveryTime:
        pRepeatInterval = nSettings.RepeatInterval;
        pRepeatIntervalValue = nSettings.RepeatIntervalValue;
        break;
    case TCronRepeat::trDaily:
        pDaylyRepeatTime = nSettings.DaysRepeatTime;
        pDailyRepeat = DaysRepeatFromText(nSettings.DaysRepeat);
        break;
    }
    if (pDailyRepeat.IsEmpty())
        pDailyRepeat.Include(TDaysRepeat::drMonday);
}

TLumo_Crone& CreateCron(TSchedule& schedule, const TCroneSettings& nSettings) {
    const QString uid = nSettings.UID.isEmpty() ? MakeCronUID(schedule) : nSettings.UID;
    std::unique_ptr<TLumo_Crone> entry(new TLumo_Crone(schedule, uid, nSettings));
    TLumo_Crone& ref = *entry;
    schedule.Entries().push_back(std::move(entry));
    return ref;
}

void RemoveCron(TSchedule& schedule, TLumo_Crone& entry) {
    auto& list = schedule.Entries();
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.get() == &entry; });
    if (it == list.end())
        return;
    entry.ArmTimer(false);
    list.erase(it);
}

void TLumo_Crone::ArmTimer(bool on) {
    if (!on) {
        SelfTimer->Stop();
        pActive = false;
        return;
    }
    if (pActive || !pEnabled)
        return;
    if (pRepeat == TCronRepeat::trEveryTime || pRepeat == TCronRepeat::trDaily)
        ComputeNextTime();
    pActive = true;
    pDontNeedToCheckTimerInterval = false;
    AdjustTimerInterval();
}

qint64 TLumo_Crone::MsUntilDue() const {
    if (fDueEpochMs != 0 && fDueEpochFor == pActionDateTime)
        return fDueEpochMs - fSchedule.Clock().CurrentDateTime().toMSecsSinceEpoch();
    return DayCountToMs(pActionDateTime) - DayCountToMs(fSchedule.Now());
}

void TLumo_Crone::SelfTimerTick() {
    if (MsUntilDue() <= 0) {
        const TLumo_GlobalCroneSettings& global = fSchedule.GlobalSettings();
        if (global.DelayedStart && global.NowAppBoot) {
            pActionDateTime += static_cast<double>(kDelayedStartMs) / kMsPerDay;
            if (fDueEpochMs != 0) {
                fDueEpochMs += kDelayedStartMs;
                fDueEpochFor = pActionDateTime;
            }
            AdjustTimerInterval();
        } else {
            FireAction();
        }
        return;
    }
    if (!pDontNeedToCheckTimerInterval)
        AdjustTimerInterval();
}

void TLumo_Crone::AdjustTimerInterval() {
    const qint64 distance = MsUntilDue();
    int interval = 1000;
    if (distance < 0) {
        pDontNeedToCheckTimerInterval = true;
    } else if (distance / 3600000 >= 1) {
        interval = 1800000;
    } else if (distance / 60000 >= 2) {
        interval = 60000;
    } else if (distance / 1000 > 20) {
        interval = 10000;
    } else {
        pDontNeedToCheckTimerInterval = true;
    }
    // Restarting an unchanged timer would push its next tick back each time.
    if (!SelfTimer->IsActive() || SelfTimer->IntervalMs() != interval)
        SelfTimer->Start(interval);
}

void TLumo_Crone::FireAction() {
    ArmTimer(false);
    pLastAction = fSchedule.Now();
    if (pOnAction)
        pOnAction(fCronSender);
    if (pRepeat == TCronRepeat::trOnce)
        pEnabled = false;
    else
        ArmTimer(true);
}

void TLumo_Crone::ComputeNextTime() {
    const QDateTime current = fSchedule.Clock().CurrentDateTime();
    const TDateTime now = FromQDateTime(current);
    if (pRepeat == TCronRepeat::trEveryTime) {
        fDueEpochMs = current.toMSecsSinceEpoch() + static_cast<qint64>(pRepeatIntervalValue) * 60000;
        pActionDateTime = FromQDateTime(QDateTime::fromMSecsSinceEpoch(fDueEpochMs));
        fDueEpochFor = pActionDateTime;
        return;
    }
    if (pRepeat != TCronRepeat::trDaily)
        return;
    fDueEpochMs = 0;
    if (pDailyRepeat.IsEmpty())
        pDailyRepeat.Include(TDaysRepeat::drMonday);
    const TDateTime time = TimeOf(pDaylyRepeatTime);
    const auto slotOf = [time](TDateTime day) { return JoinDateTime(DateOf(day), time); };
    if (pExpiredCron && pDailyRepeat.Contains(WeekdayOf(now)) && std::trunc(std::fabs(now - pLastAction)) > 7 &&
        now > slotOf(now)) {
        pActionDateTime = now;
        return;
    }
    // A last firing in the future (the clock was set back) counts as
    // yesterday's, or the entry would stay silent until that day came again.
    const TDateTime start = pLastAction == 0 ? now - 9 : pLastAction > now ? now - 1 : pLastAction;
    for (int d = 1;; ++d) {
        const TDateTime slot = slotOf(start + d);
        if (!pDailyRepeat.Contains(WeekdayOf(slot)))
            continue;
        const bool past = now > slot;
        if (past && !pExpiredCron)
            continue;
        pActionDateTime = past ? now : slot;
        return;
    }
}

QString MakeCronUID(const std::vector<std::unique_ptr<TLumo_Crone>>& entries, const std::function<TDateTime()>& clock,
                    const std::function<int()>& randomDigit) {
    const auto taken = [&](const QString& uid) {
        return std::any_of(entries.begin(), entries.end(), [&](const auto& e) { return e->pUID == uid; });
    };
    // Entry UIDs are built like profile UIDs, unique among the entries.
    return MakeStampUID(
        QStringLiteral("CRN"), [&](const QString& uid) { return !taken(uid); }, clock, randomDigit);
}

QString MakeCronUID(const TSchedule& schedule) {
    return MakeCronUID(schedule.Entries(), [&schedule] { return schedule.Now(); },
                       [] { return static_cast<int>(QRandomGenerator::global()->bounded(10)); });
}

TCronAction ProfileCronAction(TSchedule& schedule, const QString& profileUID) {
    return [&schedule, profileUID](const TCronSender&) { schedule.StartProfile(profileUID); };
}
