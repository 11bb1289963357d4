#pragma once

#include "util/date_time.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class IScheduleClock;
class IScheduleTimer;
class TLumo_Crone;

// Application-wide switches of the schedule: DelayedStart is the option of
// the same name; NowAppBoot holds for the first 5 seconds after start, and
// while both hold an entry that falls due is postponed by 300 seconds.
struct TLumo_GlobalCroneSettings {
    bool DelayedStart = false;
    bool NowAppBoot = false;
};

// What the schedule asks of the profiles it serves. The owner of the profile
// list answers; the schedule itself knows nothing of profiles.
struct TScheduleHooks {
    // The profile's UID as stored (UIDs compare without letter case), or an
    // empty text when there is no such profile.
    std::function<QString(const QString& uid)> StoredProfileUID;
    // Every profile's UID: the schedule never touches their sections.
    std::function<QStringList()> ProfileUIDs;
    // Starts the profile as a schedule entry does; nothing when it is gone.
    std::function<void(const QString& uid)> StartProfile;
};

// The schedule entries in creation order; the schedule owns them.
class TSchedule {
public:
    explicit TSchedule(TScheduleHooks hooks = {});
    ~TSchedule();
    TSchedule(const TSchedule&) = delete;
    TSchedule& operator=(const TSchedule&) = delete;

    // The system clock unless one was set. Setting a clock gives every entry
    // a stopped timer of the new clock: set it before arming anything.
    IScheduleClock& Clock() const { return *fClock; }
    void SetClock(std::shared_ptr<IScheduleClock> clock);
    TDateTime Now() const;

    TLumo_GlobalCroneSettings& GlobalSettings() { return fGlobal; }
    const TLumo_GlobalCroneSettings& GlobalSettings() const { return fGlobal; }
    // Copies the delayed-start option and marks the program as booting.
    void BeginBoot(bool delayedStart);
    // Starts the 5-second period after which the booting mark is cleared.
    void StartBootTimer();

    // Arms (on) or stops (off) every entry.
    void ArmAll(bool on);

    std::vector<std::unique_ptr<TLumo_Crone>>& Entries() { return fEntries; }
    const std::vector<std::unique_ptr<TLumo_Crone>>& Entries() const { return fEntries; }

    // Whether some enabled entry starts the profile.
    bool HasEnabledEntryFor(const QString& profileUID) const;
    // Removes every entry that starts the profile.
    void RemoveEntriesOf(const QString& profileUID);

    QString StoredProfileUID(const QString& uid) const;
    bool ProfileExists(const QString& uid) const { return !StoredProfileUID(uid).isEmpty(); }
    QStringList ProfileUIDs() const;
    void StartProfile(const QString& uid) const;

    static constexpr int kBootPeriodMs = 5000;

private:
    TScheduleHooks fHooks;
    // Declared before the entries and the boot timer, which hold its timers.
    std::shared_ptr<IScheduleClock> fClock;
    TLumo_GlobalCroneSettings fGlobal;
    std::unique_ptr<IScheduleTimer> fBootTimer;
    std::vector<std::unique_ptr<TLumo_Crone>> fEntries;
};
