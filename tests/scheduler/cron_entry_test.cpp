#include "cron_test_support.h"
#include "settings/save_settings.h"

#include <QRegularExpression>
#include <QSet>

#include <deque>

namespace {

const QString kProfile = QStringLiteral("SNK202401011200001234");

using CronEntry = CronTest;

TEST_F(CronEntry, OnceEntryTakesItsMomentAndKeepsTheGivenUid) {
    TCroneSettings s;
    s.UID = QStringLiteral("CRN202401311530070421");
    s.Enabled = true;
    s.CronRepeat = TCronRepeat::trOnce;
    s.OnceDateTime = EncodeDate(2024, 2, 1) + EncodeTime(8, 0, 0, 0);
    s.LastAction = EncodeDate(2024, 1, 1);
    s.ExpiredCron = true;
    s.RepeatIntervalValue = 15; // not an every-N entry: ignored
    s.DaysRepeat = QStringLiteral("0010000"); // not daily: ignored
    s.CronSender.SenderUID = kProfile;

    TLumo_Crone& entry = CreateCron(ctx.Schedule(), s);
    ASSERT_EQ(ctx.Schedule().Entries().size(), 1u);
    EXPECT_EQ(ctx.Schedule().Entries()[0].get(), &entry);
    EXPECT_EQ(entry.pUID, s.UID);
    EXPECT_EQ(entry.pRepeat, TCronRepeat::trOnce);
    EXPECT_EQ(entry.pActionDateTime, s.OnceDateTime);
    EXPECT_EQ(entry.pLastAction, s.LastAction);
    EXPECT_TRUE(entry.pEnabled);
    EXPECT_TRUE(entry.pExpiredCron);
    EXPECT_FALSE(entry.pSystem);
    EXPECT_EQ(entry.pRepeatIntervalValue, 0);
    EXPECT_EQ(DaysRepeatToText(entry.pDailyRepeat), QStringLiteral("1000000"));
    EXPECT_EQ(entry.SenderUID(), kProfile);
    EXPECT_FALSE(entry.pActive);
    EXPECT_FALSE(entry.SelfTimer->IsActive());
}

TEST_F(CronEntry, EveryNMinutesAndDailyEntriesTakeTheirOwnFields) {
    TCroneSettings every;
    every.CronRepeat = TCronRepeat::trEveryTime;
    every.RepeatIntervalValue = 15;
    every.OnceDateTime = EncodeDate(2030, 1, 1); // ignored
    TLumo_Crone& e = CreateCron(ctx.Schedule(), every);
    EXPECT_EQ(e.pRepeatIntervalValue, 15);
    EXPECT_EQ(e.pRepeatInterval, TRepeatInterval::riMinute);
    EXPECT_EQ(e.pActionDateTime, 0);

    TCroneSettings daily;
    daily.CronRepeat = TCronRepeat::trDaily;
    daily.DaysRepeat = QStringLiteral("0010100");
    daily.DaysRepeatTime = EncodeTime(10, 0, 0, 0);
    TLumo_Crone& d = CreateCron(ctx.Schedule(), daily);
    EXPECT_EQ(DaysRepeatToText(d.pDailyRepeat), QStringLiteral("0010100"));
    EXPECT_EQ(d.pDaylyRepeatTime, EncodeTime(10, 0, 0, 0));
}

TEST_F(CronEntry, DailyEntryWithoutAValidDayRunsOnMondaysOnly) {
    for (const char* text : {"0000000", "011000", "01100000", ""}) {
        SCOPED_TRACE(text);
        TCroneSettings daily;
        daily.CronRepeat = TCronRepeat::trDaily;
        daily.DaysRepeat = QString::fromLatin1(text);
        EXPECT_EQ(DaysRepeatToText(CreateCron(ctx.Schedule(), daily).pDailyRepeat), QStringLiteral("1000000"));
    }
}

TEST_F(CronEntry, ActionIsCalledWithTheEntrysOwnSender) {
    TCroneSettings s;
    s.CronSender.SenderUID = kProfile;
    QString seen;
    s.NotifyEvent = [&](const TCronSender& sender) { seen = sender.SenderUID; };
    TLumo_Crone& entry = CreateCron(ctx.Schedule(), s);
    s.CronSender.SenderUID = QStringLiteral("changed later");
    ASSERT_TRUE(entry.pOnAction);
    entry.pOnAction(entry.CronSender());
    EXPECT_EQ(seen, kProfile);
}

TEST_F(CronEntry, UidIsCrnTheTimeStampAndFourDrawnDigits) {
    const TDateTime moment = EncodeDate(2024, 1, 31) + EncodeTime(15, 30, 7, 0);
    std::deque<int> digits{0, 4, 2, 1};
    const auto next = [&] {
        const int d = digits.front();
        digits.pop_front();
        return d;
    };
    EXPECT_EQ(MakeCronUID(ctx.Schedule().Entries(), [&] { return moment; }, next), QStringLiteral("CRN202401311530070421"));
}

TEST_F(CronEntry, UidThatExistsIsDrawnAgain) {
    TCroneSettings s;
    s.UID = QStringLiteral("CRN202401311530070421");
    CreateCron(ctx.Schedule(), s);
    const TDateTime moment = EncodeDate(2024, 1, 31) + EncodeTime(15, 30, 7, 0);
    std::deque<int> digits{0, 4, 2, 1, 0, 4, 2, 1, 9, 9, 9, 9};
    int draws = 0;
    const auto next = [&] {
        ++draws;
        const int d = digits.front();
        digits.pop_front();
        return d;
    };
    EXPECT_EQ(MakeCronUID(ctx.Schedule().Entries(), [&] { return moment; }, next), QStringLiteral("CRN202401311530079999"));
    EXPECT_EQ(draws, 12);
}

TEST_F(CronEntry, EntriesMadeTogetherGetDistinctWellFormedUids) {
    QSet<QString> uids;
    const QRegularExpression form(QStringLiteral("^CRN\\d{18}$"));
    for (int i = 0; i < 300; ++i) {
        const QString uid = CreateCron(ctx.Schedule(), TCroneSettings()).pUID;
        EXPECT_TRUE(form.match(uid).hasMatch()) << uid.toStdString();
        uids.insert(uid);
    }
    EXPECT_EQ(uids.size(), 300);
}

TEST_F(CronEntry, RemoveTakesTheEntryOutAndLeavesTheOthers) {
    TCroneSettings a, b;
    a.UID = QStringLiteral("CRN1");
    b.UID = QStringLiteral("CRN2");
    TLumo_Crone& first = CreateCron(ctx.Schedule(), a);
    CreateCron(ctx.Schedule(), b);
    first.SelfTimer->Start(100000);
    first.pActive = true;
    RemoveCron(ctx.Schedule(), first);
    ASSERT_EQ(ctx.Schedule().Entries().size(), 1u);
    EXPECT_EQ(ctx.Schedule().Entries()[0]->pUID, QStringLiteral("CRN2"));
}

TEST_F(CronEntry, ProfileActionStartsTheNamedProfileOnlyWhileItExists) {
    MakeProfile(kProfile);
    TCroneSettings s;
    s.Enabled = true;
    s.CronSender.SenderUID = kProfile;
    s.NotifyEvent = ProfileCronAction(ctx.Schedule(), kProfile);
    TLumo_Crone& entry = CreateCron(ctx.Schedule(), s);
    entry.pOnAction(entry.CronSender());
    EXPECT_TRUE(ctx.FindProfileByUID(kProfile)->Values().bHaveCron);
    const auto waiting = ctx.Saver().WaitingRequests();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].fType, TSaveSetType::stCrone);

    // With the profile gone the action does nothing (and does not crash).
    ctx.ClearProfiles();
    TCronAction orphan = ProfileCronAction(ctx.Schedule(), kProfile);
    orphan(TCronSender{kProfile});
    EXPECT_EQ(ctx.Saver().WaitingRequests().size(), 1u);
}

} // namespace
