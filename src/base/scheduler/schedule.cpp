#include "scheduler/schedule.h"

#include "scheduler/cron_entry.h"

#include <algorithm>

TSchedule::TSchedule(TScheduleHooks hooks) : fHooks(std::move(hooks)) {}

TSchedule::~TSchedule() = default;

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
