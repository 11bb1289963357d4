#pragma once

#include <QString>

#include <functional>
#include <memory>

class IScheduleTimer;
class TLumo_Crone;
class TSchedule;

// The system entry that fires at 23:59:59 every day: a second later the
// day-relative texts are refreshed, another second later the entry is made
// anew for the day that has begun, and then the daily work runs.
class TDayRestart {
public:
    struct THooks {
        // Refreshes every profile's texts for the new day.
        std::function<void()> RefreshDay;
        // The rest of the daily work (update check, version rotation).
        std::function<void()> DailyWork;
    };

    TDayRestart(TSchedule& schedule, THooks hooks);
    ~TDayRestart();
    TDayRestart(const TDayRestart&) = delete;
    TDayRestart& operator=(const TDayRestart&) = delete;

    // Removes the day-restart entry if there is one and makes a new one for
    // today at 23:59:59, armed.
    void CreateDayRestartCron();
    // The current day-restart entry, or null.
    TLumo_Crone* Entry() const;

    static constexpr int kStepPauseMs = 1000;

private:
    // The entry's action: the steps run from timers, so the firing entry has
    // finished with itself before it is replaced.
    void gl_CronDayRestart();
    void NextStep();

    TSchedule& fSchedule;
    THooks fHooks;
    QString fEntryUID;
    std::unique_ptr<IScheduleTimer> fStepTimer;
    int fStep = 0;
};
