#pragma once

#include "util/date_time.h"

#include <QString>

#include <functional>

class TAppContext;

// Profile UIDs: the kind's prefix ("SNK", "ZIP", "FZP"), the local time as
// "yyyymmddhhnnss" and four random digits, drawn again while isUnique refuses
// the result. Each call of randomDigit yields 0..9.
QString MakeProfileUID(const QString& prefix, const std::function<bool(const QString&)>& isUnique,
                       const std::function<TDateTime()>& clock, const std::function<int()>& randomDigit);
// The same against the context's profile list, with the clock and the
// process-wide random generator.
QString MakeProfileUID(const TAppContext& context, const QString& prefix);

// The sections of the file that belong to no profile or entry: "Main", the
// three profile lists and "CronList" (any letter case).
bool IsFixedSectionName(const QString& name);

// Whether a key of a profile list section may become a profile: not the name of
// one of the file's fixed sections (the writer erases the section named by a
// profile's UID) and not the UID of a profile already loaded (two profiles
// would share one set of sections).
bool CanLoadProfileUID(const TAppContext& context, const QString& uid);
