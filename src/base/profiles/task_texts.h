#pragma once

#include "lang/lang_keys.h"
#include "util/date_time.h"

#include <QLatin1StringView>
#include <QString>

// The first occurrence of placeholder ("%s", "%d") in format replaced by value;
// a format without it is returned unchanged.
QString FillPlaceholder(const QString& format, QLatin1StringView placeholder, const QString& value);

// The last-run line of a profile ("Last sync: %s", "Last zip: %s") with the
// short friendly form of lastActive; empty when there was no run (0).
QString LastRunText(Lng formatKey, TDateTime lastActive, TDateTime now = Now());

// A profile title as the task objects keep it: at most maxLength characters
// (never cutting a surrogate pair in half), "-" when empty.
QString NormalizedTitle(const QString& title, int maxLength = 90);
