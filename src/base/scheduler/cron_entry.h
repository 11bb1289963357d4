#pragma once

#include "scheduler/cron_settings.h"
#include "util/date_time.h"

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class TSchedule;

// One schedule entry: starts one profile once, every N minutes, or daily on
// chosen weekdays. Entries live in a TSchedule, which owns
// them; CreateCron appends, RemoveCron takes out and destroys.
class TLumo_Crone {
public:
    ~TLumo_Crone() = default;
    TLumo_Crone(const TLumo_Crone&) = delete;
    TLumo_Crone& operator=(const TLumo_Crone&) = delete;

    const TCronSender& CronSender() const { return fCronSender; }
    const QString& SenderUID() const { return fCronSender.SenderUID; }

    bool pActive = false;
    TDateTime pActionDateTime = 0;
    bool pDontNeedToCheckTimerInterval = false;
    TCronRepeat pRepeat = TCronRepeat::trOnce;
    TDateTime pLastAction = 0;
    QString pUID;
    bool pSystem = false;
    // Never empty: an entry made without a day runs on Mondays.
    TDaysRepeatSet pDailyRepeat;
    TDateTime pDaylyRepeatTime = 0;
    bool pExpiredCron = false;
    bool pEnabled = false;
    int pRepeatIntervalValue = 0;
    TRepeatInterval pRepeatInterval = TRepeatInterval::riMinute;
    TCronAction pOnAction;
    // Lives on the main thread; disabled until the entry is armed.
    QTimer SelfTimer;

private:
    TLumo_Crone(const QString& uid, const TCroneSettings& nSettings);

    // Its SenderUID is the UID of the profile the entry starts.
    TCronSender fCronSender;
    friend TLumo_Crone& CreateCron(TSchedule& schedule, const TCroneSettings& nSettings);
};

// Makes an entry from the settings (a new UID when theirs is empty) and
// appends it to the schedule. The timer is not started.
TLumo_Crone& CreateCron(TSchedule& schedule, const TCroneSettings& nSettings);

// Stops the entry's timer, takes it out of the list and destroys it. An entry
// that is not in the list is left alone.
void RemoveCron(TSchedule& schedule, TLumo_Crone& entry);

// "CRN", the local time as "yyyymmddhhnnss" and four random digits, drawn
// again until no entry of the list has the UID.
QString MakeCronUID(const TSchedule& schedule);
// The same with the clock and the digit source given (each call of
// randomDigit yields 0..9).
QString MakeCronUID(const std::vector<std::unique_ptr<TLumo_Crone>>& entries, const std::function<TDateTime()>& clock,
                    const std::function<int()>& randomDigit);

// The action of a user entry: the schedule's start of the profile. The profile
// is looked up when the entry fires, so a deleted profile is simply not started.
TCronAction ProfileCronAction(TSchedule& schedule, const QString& profileUID);
