#pragma once

#include "util/date_time.h"

#include <QString>

#include <cstdint>
#include <functional>

// Kind of a schedule entry. The ordinal is stored ("Repeat").
enum class TCronRepeat { trOnce = 0, trEveryTime = 1, trDaily = 2 };

// Unit of an every-N-minutes entry; minutes are the only one.
enum class TRepeatInterval { riMinute = 0 };

enum class TDaysRepeat { drMonday, drTuesday, drWednesday, drThursday, drFriday, drSaturday, drSunday };

// A set of weekdays, one bit each, Monday the lowest.
class TDaysRepeatSet {
public:
    constexpr TDaysRepeatSet() = default;

    constexpr bool Contains(TDaysRepeat day) const { return (fBits & Bit(day)) != 0; }
    constexpr void Include(TDaysRepeat day) { fBits = static_cast<std::uint8_t>(fBits | Bit(day)); }
    constexpr void Exclude(TDaysRepeat day) { fBits = static_cast<std::uint8_t>(fBits & ~Bit(day)); }
    constexpr bool IsEmpty() const { return fBits == 0; }
    constexpr std::uint8_t Bits() const { return fBits; }
    constexpr bool operator==(const TDaysRepeatSet&) const = default;

private:
    static constexpr std::uint8_t Bit(TDaysRepeat day) {
        return static_cast<std::uint8_t>(1u << static_cast<int>(day));
    }
    std::uint8_t fBits = 0;
};

// The weekday text: 7 characters from Monday to Sunday, "1" for a chosen day.
// Text of any other length chooses no day.
TDaysRepeatSet DaysRepeatFromText(const QString& text);
QString DaysRepeatToText(TDaysRepeatSet days);

// Whom an entry serves: the UID of the profile it starts, empty for the
// system entry. The entry hands it to its action.
struct TCronSender {
    QString SenderUID;
};

// What an entry does when it falls due.
using TCronAction = std::function<void(const TCronSender&)>;

// The record from which an entry is made (loader, scheduler window, the
// day-restart). An empty UID makes the entry draw a new one.
struct TCroneSettings {
    QString UID;
    bool Enabled = false;
    bool System = false;
    TCronRepeat CronRepeat = TCronRepeat::trOnce;
    QString DaysRepeat;
    TDateTime DaysRepeatTime = 0;
    int RepeatIntervalValue = 0;
    TRepeatInterval RepeatInterval = TRepeatInterval::riMinute;
    TDateTime OnceDateTime = 0;
    bool ExpiredCron = false;
    TDateTime LastAction = 0;
    TCronAction NotifyEvent;
    TCronSender CronSender;
};
