#include "scheduler/cron_entry.h"

#include "scheduler/schedule.h"
#include "util/stamp_uid.h"

#include <QRandomGenerator>

#include <algorithm>

TLumo_Crone::TLumo_Crone(const QString& uid, const TCroneSettings& nSettings) {
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
    std::unique_ptr<TLumo_Crone> entry(new TLumo_Crone(uid, nSettings));
    TLumo_Crone& ref = *entry;
    schedule.Entries().push_back(std::move(entry));
    return ref;
}

void RemoveCron(TSchedule& schedule, TLumo_Crone& entry) {
    auto& list = schedule.Entries();
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.get() == &entry; });
    if (it == list.end())
        return;
    entry.SelfTimer.stop();
    entry.pActive = false;
    list.erase(it);
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
    return MakeCronUID(schedule.Entries(), [] { return Now(); },
                       [] { return static_cast<int>(QRandomGenerator::global()->bounded(10)); });
}

TCronAction ProfileCronAction(TSchedule& schedule, const QString& profileUID) {
    return [&schedule, profileUID](const TCronSender&) { schedule.StartProfile(profileUID); };
}
