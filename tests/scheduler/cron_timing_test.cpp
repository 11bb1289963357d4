// The schedule's timing with a clock the test moves: next moments, missed
// runs, the interval tiers, the delayed start and the day restart.

#include "cron_test_support.h"
#include "fake_schedule_clock.h"
#include "scheduler/cron_persistence.h"
#include "scheduler/day_restart.h"
#include "util/date_time.h"

#include <QDate>
#include <QTime>

#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

QDateTime Local(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

TDateTime Moment(int y, int mo, int d, int h, int mi, int s = 0) { return FromQDateTime(Local(y, mo, d, h, mi, s)); }

// Sets TZ for the life of the object.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            fOld = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (fOld)
            ::setenv("TZ", fOld->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> fOld;
};

class CronTiming : public CronTest {
protected:
    ScopedTimeZone zone{"Europe/Berlin"};
    std::shared_ptr<FakeScheduleClock> clock = std::make_shared<FakeScheduleClock>(Local(2026, 6, 10, 9, 0));
    std::vector<QDateTime> fired;

    void SetUp() override { ctx.Schedule().SetClock(clock); }

    TCroneSettings Base(TCronRepeat repeat) {
        TCroneSettings s;
        s.Enabled = true;
        s.CronRepeat = repeat;
        s.CronSender.SenderUID = QStringLiteral("SNK202401010000000001");
        s.NotifyEvent = [this](const TCronSender&) { fired.push_back(clock->CurrentDateTime()); };
        return s;
    }
    TCroneSettings Daily(const QString& days, int hour, int minute, bool expired, TDateTime last) {
        TCroneSettings s = Base(TCronRepeat::trDaily);
        s.DaysRepeat = days;
        s.DaysRepeatTime = EncodeTime(hour, minute, 0, 0);
        s.ExpiredCron = expired;
        s.LastAction = last;
        return s;
    }
    TLumo_Crone& Arm(const TCroneSettings& s) {
        TLumo_Crone& entry = CreateCron(ctx.Schedule(), s);
        entry.ArmTimer(true);
        return entry;
    }
};

struct DailyCase {
    const char* name;
    QDateTime now;
    const char* days;
    int hour, minute;
    bool expired;
    QDateTime last; // invalid: never ran
    QDateTime expected; // invalid: now
};

TEST_F(CronTiming, DailyNextMoments) {
    const DailyCase cases[] = {
        {"before today's slot", Local(2026, 6, 10, 9, 0), "1111111", 10, 0, false, Local(2026, 6, 9, 10, 0),
         Local(2026, 6, 10, 10, 0)},
        {"after today's slot", Local(2026, 6, 10, 11, 0), "1111111", 10, 0, false, Local(2026, 6, 9, 10, 0),
         Local(2026, 6, 11, 10, 0)},
        {"missed slot, expired on", Local(2026, 6, 10, 11, 0), "1111111", 10, 0, true, Local(2026, 6, 9, 10, 0), {}},
        {"never ran, expired on", Local(2026, 6, 10, 9, 0), "1111111", 10, 0, true, {}, {}},
        {"never ran, expired off", Local(2026, 6, 10, 9, 0), "1111111", 10, 0, false, {}, Local(2026, 6, 10, 10, 0)},
        {"missed days ago, expired on", Local(2026, 6, 10, 9, 0), "1111111", 10, 0, true, Local(2026, 6, 7, 10, 0), {}},
        {"missed days ago, expired off", Local(2026, 6, 10, 11, 0), "1111111", 10, 0, false, Local(2026, 6, 7, 10, 0),
         Local(2026, 6, 11, 10, 0)},
        // 2026-06-10 is a Wednesday.
        {"weekdays Monday and Friday", Local(2026, 6, 10, 9, 0), "1000100", 10, 0, false, Local(2026, 6, 8, 10, 0),
         Local(2026, 6, 12, 10, 0)},
        {"weekend only, from Friday", Local(2026, 6, 12, 23, 0), "0000011", 8, 30, false, Local(2026, 6, 7, 8, 30),
         Local(2026, 6, 13, 8, 30)},
        {"missed weekday slot, expired on", Local(2026, 6, 10, 9, 0), "0100000", 10, 0, true, Local(2026, 6, 2, 10, 0),
         {}},
        {"across midnight", Local(2026, 6, 10, 23, 50), "1111111", 0, 30, false, Local(2026, 6, 10, 0, 30),
         Local(2026, 6, 11, 0, 30)},
        {"end of a month", Local(2026, 1, 31, 11, 0), "1111111", 10, 0, false, Local(2026, 1, 31, 10, 0),
         Local(2026, 2, 1, 10, 0)},
        {"end of February, Sundays", Local(2026, 2, 28, 12, 0), "0000001", 10, 0, false, Local(2026, 2, 22, 10, 0),
         Local(2026, 3, 1, 10, 0)},
        {"end of the year", Local(2026, 12, 31, 22, 0), "1111111", 6, 0, false, Local(2026, 12, 31, 6, 0),
         Local(2027, 1, 1, 6, 0)},
        {"daylight saving starts", Local(2026, 3, 28, 12, 0), "1111111", 10, 0, false, Local(2026, 3, 28, 10, 0),
         Local(2026, 3, 29, 10, 0)},
        {"daylight saving ends", Local(2026, 10, 24, 12, 0), "1111111", 10, 0, false, Local(2026, 10, 24, 10, 0),
         Local(2026, 10, 25, 10, 0)},
        {"last firing in the future", Local(2026, 6, 10, 9, 0), "1111111", 10, 0, false, Local(2030, 1, 1, 10, 0),
         Local(2026, 6, 10, 10, 0)},
        {"empty weekday text is Monday", Local(2026, 6, 10, 9, 0), "0000000", 10, 0, false, Local(2026, 6, 8, 10, 0),
         Local(2026, 6, 15, 10, 0)},
    };
    for (const DailyCase& c : cases) {
        SCOPED_TRACE(c.name);
        clock->Set(c.now);
        TLumo_Crone& entry = Arm(Daily(QString::fromLatin1(c.days), c.hour, c.minute, c.expired,
                                       c.last.isValid() ? FromQDateTime(c.last) : 0));
        const QDateTime expected = c.expected.isValid() ? c.expected : c.now;
        EXPECT_EQ(DateTimeToStamp(entry.pActionDateTime), DateTimeToStamp(FromQDateTime(expected)));
        EXPECT_TRUE(entry.pActive);
        RemoveCron(ctx.Schedule(), entry);
    }
}

TEST_F(CronTiming, DailyEntryFiresOnTimeAndOnceThenWaitsForTheNextDay) {
    clock->Set(Local(2026, 6, 10, 11, 0));
    TLumo_Crone& entry = Arm(Daily("1111111", 10, 0, true, Moment(2026, 6, 9, 10, 0)));
    clock->Advance(1500);
    ASSERT_EQ(fired.size(), 1u); // the missed run, as soon as possible
    EXPECT_EQ(DateTimeToStamp(entry.pActionDateTime), DateTimeToStamp(Moment(2026, 6, 11, 10, 0)));
    clock->Advance(qint64(23) * 3600000 - 2500); // to 09:59:59 tomorrow
    EXPECT_EQ(fired.size(), 1u);
    clock->Advance(1000);
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_EQ(fired[1], Local(2026, 6, 11, 10, 0));
    EXPECT_EQ(DateTimeToStamp(entry.pLastAction), DateTimeToStamp(Moment(2026, 6, 11, 10, 0)));
}

TEST_F(CronTiming, DailySlotInTheSkippedHourOfDaylightSavingFiresOnceThatDay) {
    // On 2026-03-29 the clocks go from 02:00 straight to 03:00.
    clock->Set(Local(2026, 3, 29, 1, 0));
    Arm(Daily("1111111", 2, 30, false, Moment(2026, 3, 28, 2, 30)));
    clock->Advance(qint64(4) * 3600000);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].time().hour(), 3);
    clock->Advance(qint64(21) * 3600000); // to 03:00 the next day
    EXPECT_EQ(fired.size(), 2u); // the next day's 02:30, which exists
}

TEST_F(CronTiming, DailySlotInTheRepeatedHourOfDaylightSavingFiresOnce) {
    // On 2026-10-25 the hour from 02:00 to 03:00 comes twice.
    clock->Set(Local(2026, 10, 25, 1, 0));
    Arm(Daily("1111111", 2, 30, false, Moment(2026, 10, 24, 2, 30)));
    clock->Advance(qint64(5) * 3600000);
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(CronTiming, EveryNMinutesCountsFromArmingWhateverTheLastRun) {
    clock->Set(Local(2026, 6, 10, 8, 7));
    TCroneSettings s = Base(TCronRepeat::trEveryTime);
    s.RepeatIntervalValue = 15;
    s.LastAction = Moment(2026, 6, 10, 8, 0);
    TLumo_Crone& entry = Arm(s);
    EXPECT_EQ(DateTimeToStamp(entry.pActionDateTime), DateTimeToStamp(Moment(2026, 6, 10, 8, 22)));
    clock->Advance(qint64(15) * 60000 - 1000);
    EXPECT_TRUE(fired.empty());
    clock->Advance(1000);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], Local(2026, 6, 10, 8, 22));
    EXPECT_EQ(DateTimeToStamp(entry.pActionDateTime), DateTimeToStamp(Moment(2026, 6, 10, 8, 37)));
}

TEST_F(CronTiming, EveryMinuteRunsOnAcrossMidnight) {
    clock->Set(Local(2026, 6, 10, 23, 58, 30));
    TCroneSettings s = Base(TCronRepeat::trEveryTime);
    s.RepeatIntervalValue = 1;
    Arm(s);
    clock->Advance(qint64(3) * 60000);
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_EQ(fired[1], Local(2026, 6, 11, 0, 0, 30));
    EXPECT_EQ(fired[2], Local(2026, 6, 11, 0, 1, 30));
}

TEST_F(CronTiming, EveryNMinutesCountsRealMinutesWhenTheClocksGoBack) {
    // 02:30 summer time on 2026-10-25; an hour later it is 02:30 winter time.
    clock->Set(QDateTime::fromMSecsSinceEpoch(Local(2026, 10, 25, 1, 30).toMSecsSinceEpoch() + 3600000));
    ASSERT_EQ(clock->CurrentDateTime().time().hour(), 2);
    TCroneSettings s = Base(TCronRepeat::trEveryTime);
    s.RepeatIntervalValue = 60;
    Arm(s);
    clock->Advance(qint64(59) * 60000);
    EXPECT_TRUE(fired.empty());
    clock->Advance(60000);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].time(), QTime(2, 30));
}

TEST_F(CronTiming, EveryNMinutesCountsRealMinutesWhenTheClocksGoForward) {
    clock->Set(Local(2026, 3, 29, 1, 50));
    TCroneSettings s = Base(TCronRepeat::trEveryTime);
    s.RepeatIntervalValue = 20;
    Arm(s);
    clock->Advance(qint64(19) * 60000);
    EXPECT_TRUE(fired.empty()); // the wall clock already reads 03:09
    clock->Advance(60000);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].time(), QTime(3, 10));
}

TEST_F(CronTiming, IntervalTiersFollowTheDistance) {
    struct Tier {
        qint64 distanceMs;
        int interval;
        bool finalPhase;
    } tiers[] = {
        {qint64(3) * 3600000, 1800000, false}, {3600000, 1800000, false}, {3600000 - 1000, 60000, false},
        {120000, 60000, false},                {119000, 10000, false},    {21000, 10000, false},
        {20999, 1000, true},                   {20000, 1000, true},       {0, 1000, true},
        {-5000, 1000, true},
    };
    const QDateTime start = Local(2026, 6, 10, 12, 0);
    for (const Tier& t : tiers) {
        SCOPED_TRACE(t.distanceMs);
        clock->Set(start);
        TCroneSettings s = Base(TCronRepeat::trOnce);
        s.OnceDateTime = FromQDateTime(start.addMSecs(t.distanceMs));
        TLumo_Crone& entry = Arm(s);
        EXPECT_EQ(entry.SelfTimer->IntervalMs(), t.interval);
        EXPECT_EQ(entry.pDontNeedToCheckTimerInterval, t.finalPhase);
        EXPECT_TRUE(entry.SelfTimer->IsActive());
        RemoveCron(ctx.Schedule(), entry);
    }
}

TEST_F(CronTiming, FarEntryWakesRarelyAndFiresWithinASecond) {
    const QDateTime start = Local(2026, 6, 10, 12, 0);
    clock->Set(start);
    TCroneSettings s = Base(TCronRepeat::trOnce);
    s.OnceDateTime = FromQDateTime(start.addSecs(5 * 3600 + 7));
    TLumo_Crone& entry = Arm(s);
    auto* timer = static_cast<FakeScheduleClock::Timer*>(entry.SelfTimer.get());
    clock->Advance(qint64(4) * 3600000);
    EXPECT_LE(timer->ticks, 8); // half-hourly while hours away
    clock->Advance(3600000 + 8000);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_LE(fired[0].toMSecsSinceEpoch() - start.addSecs(5 * 3600 + 7).toMSecsSinceEpoch(), 1000);
    EXPECT_GE(fired[0], start.addSecs(5 * 3600 + 7));
    EXPECT_LE(timer->ticks, 8 + 60 + 12 + 25);
}

TEST_F(CronTiming, OnceEntryFiresOnceAndStaysDisabled) {
    TCroneSettings s = Base(TCronRepeat::trOnce);
    s.OnceDateTime = Moment(2026, 6, 1, 9, 0); // days ago: fires at the first tick
    TLumo_Crone& entry = Arm(s);
    clock->Advance(1000);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_FALSE(entry.pEnabled);
    EXPECT_FALSE(entry.pActive);
    entry.ArmTimer(true);
    clock->Advance(qint64(24) * 3600000);
    EXPECT_EQ(fired.size(), 1u);
    IniDocument ini;
    WriteCronEntry(ini, entry);
    EXPECT_EQ(ini.Value(entry.pUID, QStringLiteral("Enabled")), QStringLiteral("0"));
}

TEST_F(CronTiming, DisabledEntryNeverFires) {
    TCroneSettings s = Base(TCronRepeat::trEveryTime);
    s.RepeatIntervalValue = 1;
    s.Enabled = false;
    TLumo_Crone& entry = Arm(s);
    EXPECT_FALSE(entry.pActive);
    EXPECT_FALSE(entry.SelfTimer->IsActive());
    clock->Advance(qint64(24) * 3600000);
    EXPECT_TRUE(fired.empty());
}

TEST_F(CronTiming, DeletingAProfileRemovesItsArmedEntries) {
    const QString uid = QStringLiteral("SNK202401010000000001");
    MakeProfile(uid);
    MakeProfile(QStringLiteral("SNK202401010000000002"));
    TCroneSettings mine = Base(TCronRepeat::trEveryTime);
    mine.RepeatIntervalValue = 1;
    Arm(mine);
    Arm(mine);
    TCroneSettings other = mine;
    other.CronSender.SenderUID = QStringLiteral("SNK202401010000000002");
    Arm(other);
    ASSERT_TRUE(ctx.FindProfileByUID(uid)->Delete());
    ASSERT_EQ(ctx.Schedule().Entries().size(), 1u);
    EXPECT_EQ(ctx.Schedule().Entries()[0]->SenderUID(), other.CronSender.SenderUID);
    clock->Advance(60000);
    EXPECT_EQ(fired.size(), 1u); // only the other profile's entry
}

TEST_F(CronTiming, DelayedStartPostponesWhatFallsDueInTheFirstFiveSeconds) {
    const QDateTime start = Local(2026, 6, 10, 11, 0);
    struct Case {
        const char* name;
        bool delayedStart;
        int kind; // 0: missed daily run, 1: once-entry 10 s after start, 2: once-entry days ago
        qint64 earliestMs, latestMs;
    } cases[] = {
        {"missed daily run, delayed", true, 0, 300000, 301000},
        {"missed daily run, not delayed", false, 0, 0, 1000},
        {"due 10 s after start", true, 1, 10000, 11000},
        {"once-entry days ago, delayed", true, 2, 5000, 6000},
        {"once-entry days ago, not delayed", false, 2, 0, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fired.clear();
        clock->Set(start);
        ctx.Schedule().BeginBoot(c.delayedStart);
        TCroneSettings s;
        if (c.kind == 0) {
            s = Daily("1111111", 10, 0, true, Moment(2026, 6, 9, 10, 0));
        } else {
            s = Base(TCronRepeat::trOnce);
            s.OnceDateTime = c.kind == 1 ? FromQDateTime(start.addSecs(10)) : Moment(2026, 6, 1, 9, 0);
        }
        TLumo_Crone& entry = Arm(s);
        ctx.Schedule().StartBootTimer();
        clock->Advance(400000);
        ASSERT_FALSE(fired.empty());
        const qint64 after = fired[0].toMSecsSinceEpoch() - start.toMSecsSinceEpoch();
        EXPECT_GE(after, c.earliestMs);
        EXPECT_LE(after, c.latestMs);
        EXPECT_FALSE(ctx.Schedule().GlobalSettings().NowAppBoot);
        RemoveCron(ctx.Schedule(), entry);
    }
}

TEST_F(CronTiming, DayRestartFiresAtMidnightAndReplacesItself) {
    int refreshed = 0, daily = 0;
    TDayRestart restart(ctx.Schedule(), {[&] { ++refreshed; }, [&] { ++daily; }});
    clock->Set(Local(2026, 6, 10, 23, 0));
    restart.CreateDayRestartCron();
    TLumo_Crone* first = restart.Entry();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->pSystem);
    EXPECT_EQ(DateTimeToStamp(first->pActionDateTime), DateTimeToStamp(Moment(2026, 6, 10, 23, 59, 59)));
    const QString firstUID = first->pUID;

    clock->Advance(qint64(59) * 60000 + 59000); // 23:59:59
    EXPECT_EQ(refreshed, 0);
    clock->Advance(1000);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(daily, 0);
    clock->Advance(1000);
    EXPECT_EQ(daily, 1);
    TLumo_Crone* second = restart.Entry();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->pUID, firstUID);
    EXPECT_EQ(DateTimeToStamp(second->pActionDateTime), DateTimeToStamp(Moment(2026, 6, 11, 23, 59, 59)));
    EXPECT_TRUE(second->pActive);
    ASSERT_EQ(ctx.Schedule().Entries().size(), 1u); // the old one is gone

    clock->Advance(qint64(24) * 3600000);
    EXPECT_EQ(refreshed, 2);
    EXPECT_EQ(daily, 2);
}

} // namespace
