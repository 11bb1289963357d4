#include "scheduler/cron_persistence.h"

#include "ini/ini_values.h"
#include "os/platform.h"
#include "scheduler/cron_entry.h"
#include "scheduler/schedule.h"
#include "util/stamp_uid.h"

#include <QFile>

#include <algorithm>
#include <exception>
#include <string>

namespace {

const QString kCronList = QStringLiteral("CronList");
const QString kRepeat = QStringLiteral("Repeat");
const QString kIntervalValue = QStringLiteral("IntervalValue");
const QString kDateTime = QStringLiteral("DateTime");
const QString kExpired = QStringLiteral("Expired");
const QString kEnabled = QStringLiteral("Enabled");
const QString kLastAction = QStringLiteral("LastAction");
const QString kDaysRepeat = QStringLiteral("DaysRepeat");
const QString kDaysRepeatTime = QStringLiteral("DaysRepeatTime");

constexpr int kMinIntervalMinutes = 1;
constexpr int kMaxIntervalMinutes = 1440;

// Takes the keys of entries whose profile is gone out of the file on disk.
// The file is read afresh and left alone when it cannot be read.
void RemoveOrphanEntries(const TSchedule& schedule, const QString& path, const QStringList& keys) {
    if (keys.isEmpty())
        return;
    const TScheduleSectionNames sectionNames(schedule);
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    IniDocument ini = IniDocument::FromBytes(file.readAll());
    file.close();
    for (const QString& key : keys) {
        ini.DeleteKey(kCronList, key);
        if (sectionNames.Allows(key) && ini.HasSection(key))
            ini.EraseSection(key);
    }
    const QByteArray bytes = ini.ToBytes();
    std::string error;
    os::WriteFileAtomically(QFile::encodeName(path).toStdString(),
                            std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}

} // namespace

TScheduleSectionNames::TScheduleSectionNames(const TSchedule& schedule) {
    for (const QString& uid : schedule.ProfileUIDs()) {
        fProfileUIDs.insert(uid.toLower());
        fUIDLengths.insert(uid.size());
    }
}

bool TScheduleSectionNames::Allows(const QString& name) const {
    if (name.trimmed().isEmpty())
        return false;
    if (IsFixedSectionName(name))
        return false;
    // Every section of a profile starts with its UID.
    const QString folded = name.toLower();
    for (const qsizetype length : fUIDLengths)
        if (length <= folded.size() && fProfileUIDs.contains(folded.left(length)))
            return false;
    return true;
}

bool IsScheduleSectionName(const QString& name, const TSchedule& schedule) {
    return TScheduleSectionNames(schedule).Allows(name);
}

TCroneSettings ReadCronSettings(const IniDocument& ini, const QString& entryUID, const QString& profileUID) {
    TCroneSettings s;
    s.UID = entryUID;
    s.CronSender.SenderUID = profileUID;
    s.System = false;
    s.LastAction = IniReadDateTime(ini, entryUID, kLastAction);
    switch (IniReadInteger(ini, entryUID, kRepeat, 0)) {
    case 1: s.CronRepeat = TCronRepeat::trEveryTime; break;
    case 2: s.CronRepeat = TCronRepeat::trDaily; break;
    default: s.CronRepeat = TCronRepeat::trOnce; break;
    }
    s.ExpiredCron = IniReadBool(ini, entryUID, kExpired, true);
    s.Enabled = IniReadBool(ini, entryUID, kEnabled, true);
    switch (s.CronRepeat) {
    case TCronRepeat::trOnce: s.OnceDateTime = IniReadDateTime(ini, entryUID, kDateTime); break;
    case TCronRepeat::trEveryTime:
        s.RepeatInterval = TRepeatInterval::riMinute;
        s.RepeatIntervalValue = std::clamp(IniReadInteger(ini, entryUID, kIntervalValue, kMinIntervalMinutes),
                                           kMinIntervalMinutes, kMaxIntervalMinutes);
        break;
    case TCronRepeat::trDaily:
        s.DaysRepeat = IniReadString(ini, entryUID, kDaysRepeat);
        s.DaysRepeatTime = Text6ToTime(IniReadString(ini, entryUID, kDaysRepeatTime, QStringLiteral("0")));
        break;
    }
    return s;
}

void LoadCrons(TSchedule& schedule, const IniDocument& ini, const QString& settingsFile) {
    QStringList orphans;
    const TScheduleSectionNames sectionNames(schedule);
    QSet<QString> made;
    for (const auto& entry : schedule.Entries())
        made.insert(entry->pUID);
    try {
        for (const auto& [key, profileUID] : ini.Values(kCronList)) {
            const QString storedUID = schedule.StoredProfileUID(profileUID);
            if (storedUID.isEmpty()) {
                orphans << key;
                continue;
            }
            // A key naming another family's section, or an entry already made,
            // is not an entry of its own; the next schedule write drops it.
            if (!sectionNames.Allows(key) || made.contains(key))
                continue;
            TCroneSettings settings = ReadCronSettings(ini, key, storedUID);
            settings.NotifyEvent = ProfileCronAction(schedule, storedUID);
            made.insert(CreateCron(schedule, settings).pUID);
        }
    } catch (const std::exception&) {
        // The entries made so far stay; the rest of the schedule is not loaded.
    }
    RemoveOrphanEntries(schedule, settingsFile, orphans);
}

void WriteCronEntry(IniDocument& ini, const TLumo_Crone& entry) {
    const QString& section = entry.pUID;
    const bool everyTime = entry.pRepeat == TCronRepeat::trEveryTime;
    const bool daily = entry.pRepeat == TCronRepeat::trDaily;
    // A section left from elsewhere would keep its own key order.
    if (ini.HasSection(section))
        ini.EraseSection(section);
    IniWriteInteger(ini, section, kRepeat, static_cast<int>(entry.pRepeat));
    IniWriteInteger(ini, section, kIntervalValue, everyTime ? entry.pRepeatIntervalValue : 0);
    IniWriteDateTime(ini, section, kDateTime, entry.pActionDateTime);
    IniWriteBool(ini, section, kExpired, entry.pExpiredCron);
    IniWriteBool(ini, section, kEnabled, entry.pEnabled);
    IniWriteDateTime(ini, section, kLastAction, entry.pLastAction);
    TDaysRepeatSet mondayOnly;
    mondayOnly.Include(TDaysRepeat::drMonday);
    ini.SetValue(section, kDaysRepeat, DaysRepeatToText(daily ? entry.pDailyRepeat : mondayOnly));
    ini.SetValue(section, kDaysRepeatTime, TimeToText6(entry.pDaylyRepeatTime));
}

void WriteCronList(IniDocument& ini, const TSchedule& schedule) {
    const TScheduleSectionNames sectionNames(schedule);
    if (ini.HasSection(kCronList)) {
        for (const QString& key : ini.Keys(kCronList))
            if (sectionNames.Allows(key) && ini.HasSection(key))
                ini.EraseSection(key);
        ini.EraseSection(kCronList);
    }
    for (const auto& entry : schedule.Entries()) {
        if (entry->pSystem || entry->SenderUID().isEmpty() || !schedule.ProfileExists(entry->SenderUID()))
            continue;
        if (!sectionNames.Allows(entry->pUID))
            continue;
        ini.SetValue(kCronList, entry->pUID, entry->SenderUID());
        WriteCronEntry(ini, *entry);
    }
}
