#pragma once

#include "ini/ini_document.h"
#include "scheduler/cron_settings.h"

#include <QSet>
#include <QString>

class TLumo_Crone;
class TSchedule;

// The schedule in the settings file: section "CronList" holds one key per
// entry (entry UID = profile UID), and a section named by the entry's UID holds
// its settings.

// False for names that can never be an entry's own section: the fixed list
// sections, "Main", and every section of an existing profile. The schedule
// never reads, writes or erases such a section, whatever CronList names.
bool IsScheduleSectionName(const QString& name, const TSchedule& schedule);

// The same test, prepared once for many names.
class TScheduleSectionNames {
public:
    explicit TScheduleSectionNames(const TSchedule& schedule);
    bool Allows(const QString& name) const;

private:
    QSet<QString> fProfileUIDs; // lower case
    QSet<qsizetype> fUIDLengths;
};

// The settings of one entry as stored, with the defaults for missing values.
// Throws EConvertError for a date or time that does not exist.
TCroneSettings ReadCronSettings(const IniDocument& ini, const QString& entryUID, const QString& profileUID);

// For every CronList key in file order whose profile exists: makes the entry,
// wired to the schedule's start of that profile. Keys whose profile is gone
// are removed from the settings file at settingsFile at once, with their
// sections. An unexpected error ends the loading; the entries made so far stay.
void LoadCrons(TSchedule& schedule, const IniDocument& ini, const QString& settingsFile);

// The entry's own section, keys in their fixed order.
void WriteCronEntry(IniDocument& ini, const TLumo_Crone& entry);

// Rebuilds the schedule: erases every section CronList names and CronList
// itself, then writes every entry that is not a system entry and starts an
// existing profile.
void WriteCronList(IniDocument& ini, const TSchedule& schedule);
