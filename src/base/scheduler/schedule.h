#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TLumo_Crone;

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

private:
    TScheduleHooks fHooks;
    std::vector<std::unique_ptr<TLumo_Crone>> fEntries;
};
