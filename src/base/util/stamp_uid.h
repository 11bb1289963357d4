#pragma once

#include "util/date_time.h"

#include <QString>

#include <functional>

// UIDs of profiles and schedule entries: a prefix ("SNK", "ZIP", "FZP",
// "CRN"), the local time as "yyyymmddhhnnss" and four random digits, drawn
// again while isUnique refuses the result. Each call of randomDigit yields 0..9.
QString MakeStampUID(const QString& prefix, const std::function<bool(const QString&)>& isUnique,
                     const std::function<TDateTime()>& clock, const std::function<int()>& randomDigit);
// The same with the local clock and the process-wide random generator.
QString MakeStampUID(const QString& prefix, const std::function<bool(const QString&)>& isUnique);

// The sections of the settings file that belong to no profile or entry:
// "Main", the three profile lists and "CronList" (any letter case).
bool IsFixedSectionName(const QString& name);
