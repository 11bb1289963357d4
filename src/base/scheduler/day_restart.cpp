#include "scheduler/day_restart.h"

#include "scheduler/cron_entry.h"
#include "scheduler/schedule.h"
#include "scheduler/schedule_clock.h"

#include <algorithm>

TDayRestart::TDayRestart(TSchedule& schedule, THooks hooks) : fSchedule(schedule), fHooks(std::move(hooks)) {}

TDayRestart::~TDayRestart() = default;

TLumo_Crone* TDayRestart::Entry() const {
    if (fEntryUID.isEmpty())
        return nullptr;
    const auto& entries = fSchedule.Entries();
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const auto& e) { return e->pSystem && e->pUID == fEntryUID; });
    return it == entries.end() ? nullptr : it->get();
}

void TDayRestart::CreateDayRestartCron() {
    if (TLumo_Crone* old = Entry())
        RemoveCron(fSchedule, *old);
    TCroneSettings settings;
    settings.System = true;
    settings.Enabled = true;
    settings.CronRepeat = TCronRepeat::trOnce;
    settings.OnceDateTime = JoinDateTime(DateOf(fSchedule.Now()), EncodeTime(23, 59, 59, 0));
    settings.NotifyEvent = [this](const TCronSender&) { gl_CronDayRestart(); };
    TLumo_Crone& entry = CreateCron(fSchedule, settings);
    fEntryUID = entry.pUID;
    entry.ArmTimer(true);
}

void TDayRestart::gl_CronDayRestart() {
    fStep = 0;
    if (!fStepTimer)
        fStepTimer = fSchedule.Clock().MakeTimer([this] { NextStep(); });
    fStepTimer->Start(kStepPauseMs);
}

void TDayRestart::NextStep() {
    ++fStep;
    if (fStep == 1) {
        if (fHooks.RefreshDay)
            fHooks.RefreshDay();
        return; // the timer ticks once more a second later
    }
    fStepTimer->Stop();
    CreateDayRestartCron();
    if (fHooks.DailyWork)
        fHooks.DailyWork();
}
