#pragma once

#include "scheduler/cron_settings.h"
#include "scheduler/schedule_clock.h"
#include "util/date_time.h"

#include <QString>

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
    // From the schedule's clock; stopped until the entry is armed.
    std::unique_ptr<IScheduleTimer> SelfTimer;

    // On: an enabled entry that is not active yet computes its next moment
    // (every N minutes, daily), tunes its interval and starts its timer.
    // Off: stops the timer.
    void ArmTimer(bool on);
    // One timer event: fires when due (or postpones by 300 s while the
    // program boots with delayed start), otherwise re-tunes the interval.
    void SelfTimerTick();
    // The coarser the farther away the moment is: 30 min from an hour on,
    // 1 min from 2 minutes on, 10 s beyond 20 seconds, else 1 s.
    void AdjustTimerInterval();
    // Stops, records the firing, calls the action, then disables a once-entry
    // or arms the others again. The action may not destroy the entry.
    void FireAction();
    // The next moment of an every-N-minutes or daily entry from now and the last firing.
    void ComputeNextTime();

    // Milliseconds from now until the entry falls due; negative once past.
    qint64 MsUntilDue() const;

private:
    TLumo_Crone(TSchedule& schedule, const QString& uid, const TCroneSettings& nSettings);

    TSchedule& fSchedule;
    // Its SenderUID is the UID of the profile the entry starts.
    TCronSender fCronSender;
    // An every-N-minutes entry counts real minutes, so a change of the clocks
    // for daylight saving neither shortens nor stretches its interval: its
    // moment is also kept as milliseconds since the epoch (0 when unused).
    qint64 fDueEpochMs = 0;
    TDateTime fDueEpochFor = 0; // the pActionDateTime that fDueEpochMs belongs to
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
