#include "scheduler/cron_settings.h"

namespace {
constexpr int kDaysInWeek = 7;
}

TDaysRepeatSet DaysRepeatFromText(const QString& text) {
    TDaysRepeatSet days;
    if (text.size() != kDaysInWeek)
        return days;
    for (int i = 0; i < kDaysInWeek; ++i)
        if (text[i] == QLatin1Char('1'))
            days.Include(static_cast<TDaysRepeat>(i));
    return days;
}

QString DaysRepeatToText(TDaysRepeatSet days) {
    QString text;
    for (int i = 0; i < kDaysInWeek; ++i)
        text += days.Contains(static_cast<TDaysRepeat>(i)) ? QLatin1Char('1') : QLatin1Char('0');
    return text;
}
