#pragma once

#include "util/date_time.h"

#include <QString>

class TLanguage;

// A date-time (local time) in words of the given language, for last-run texts,
// modification dates and next-run times.
//   0                 -> "Is not set"
//   full form         -> "5 february 2024 y. 14:30" (no time at exactly midnight)
//   short form        -> "Today at 14:30", "Yesterday at ...", "Tomorrow at ...";
//                        "Friday, 10:00" for 2 to 6 days ahead;
//                        "Monday, 5 february 2024 y., 14:30" for any other day.
// Days are compared as calendar dates of value and now.
QString FriendlyDateText(const TLanguage& language, TDateTime value, bool full, TDateTime now);
// The same in the current language (TLanguage::Current()).
QString FriendlyDateText(TDateTime value, bool full, TDateTime now = Now());
