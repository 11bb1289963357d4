#include "cron_test_support.h"
#include "scheduler/cron_persistence.h"
#include "settings/save_settings.h"

#include <QFile>

namespace {

const QString kProfile = QStringLiteral("SNK202401011200001234");
const QString kOther = QStringLiteral("ZIP202401011200005678");
const QString kEntry = QStringLiteral("CRN202401311530070421");

IniDocument Ini(const char* text) { return IniDocument::FromBytes(QByteArray(text)); }

class CronStorage : public CronTest {
protected:
    void SetUp() override { MakeProfile(kProfile); }

    // Reads one entry stored as "[CRN...]" + the given keys.
    TCroneSettings ReadEntry(const QString& keys) {
        const IniDocument ini = IniDocument::FromBytes(("[" + kEntry + "]\r\n" + keys).toUtf8());
        return ReadCronSettings(ini, kEntry, kProfile);
    }
};

TEST_F(CronStorage, MissingKeysGiveTheDefaults) {
    const TCroneSettings s = ReadEntry({});
    EXPECT_EQ(s.UID, kEntry);
    EXPECT_EQ(s.CronSender.SenderUID, kProfile);
    EXPECT_FALSE(s.System);
    EXPECT_EQ(s.CronRepeat, TCronRepeat::trOnce);
    EXPECT_TRUE(s.Enabled);
    EXPECT_TRUE(s.ExpiredCron);
    EXPECT_EQ(s.LastAction, 0);
    EXPECT_EQ(s.OnceDateTime, 0);
}

TEST_F(CronStorage, RepeatOtherThanOneOrTwoIsOnce) {
    const struct {
        const char* value;
        TCronRepeat expected;
    } cases[] = {
        {"0", TCronRepeat::trOnce},  {"1", TCronRepeat::trEveryTime}, {"2", TCronRepeat::trDaily},
        {"3", TCronRepeat::trOnce},  {"-1", TCronRepeat::trOnce},     {"daily", TCronRepeat::trOnce},
        {"", TCronRepeat::trOnce},   {"$2", TCronRepeat::trDaily},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ReadEntry(QStringLiteral("Repeat=%1\r\n").arg(QLatin1String(c.value))).CronRepeat, c.expected);
    }
}

TEST_F(CronStorage, IntervalValueIsClampedToOneDay) {
    const struct {
        const char* line;
        int expected;
    } cases[] = {
        {"", 1}, {"IntervalValue=0\r\n", 1}, {"IntervalValue=-5\r\n", 1}, {"IntervalValue=1\r\n", 1},
        {"IntervalValue=30\r\n", 30}, {"IntervalValue=1440\r\n", 1440}, {"IntervalValue=1441\r\n", 1440},
        {"IntervalValue=abc\r\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const TCroneSettings s = ReadEntry(QStringLiteral("Repeat=1\r\n") + QLatin1String(c.line));
        EXPECT_EQ(s.RepeatIntervalValue, c.expected);
        EXPECT_EQ(s.RepeatInterval, TRepeatInterval::riMinute);
    }
}

TEST_F(CronStorage, BooleansReadIntegersAndFallBackToTrue) {
    const struct {
        const char* value;
        bool expected;
    } cases[] = {{"0", false}, {"1", true}, {"2", true}, {"yes", true}, {"false", true}, {"0x0", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const TCroneSettings s =
            ReadEntry(QStringLiteral("Expired=%1\r\nEnabled=%1\r\n").arg(QLatin1String(c.value)));
        EXPECT_EQ(s.ExpiredCron, c.expected);
        EXPECT_EQ(s.Enabled, c.expected);
    }
}

TEST_F(CronStorage, OnceMomentAndLastActionAreStamps) {
    const TCroneSettings s = ReadEntry("DateTime=20240131153007\r\nLastAction=20240130080000\r\n");
    EXPECT_EQ(s.OnceDateTime, EncodeDate(2024, 1, 31) + EncodeTime(15, 30, 7, 0));
    EXPECT_EQ(s.LastAction, EncodeDate(2024, 1, 30) + EncodeTime(8, 0, 0, 0));
    EXPECT_EQ(ReadEntry("DateTime=0\r\n").OnceDateTime, 0);
    EXPECT_EQ(ReadEntry("DateTime=2024013115300\r\nLastAction=\r\n").OnceDateTime, 0);
}

TEST_F(CronStorage, DailyTimeDefaultsToMidnightAndReadsPairs) {
    const struct {
        const char* line;
        TDateTime expected;
    } cases[] = {
        {"", 0},
        {"DaysRepeatTime=0\r\n", 0},
        {"DaysRepeatTime=235959\r\n", EncodeTime(23, 59, 59, 0)},
        {"DaysRepeatTime=1030\r\n", EncodeTime(10, 30, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const TCroneSettings s =
            ReadEntry(QStringLiteral("Repeat=2\r\nDaysRepeat=0110000\r\n") + QLatin1String(c.line));
        EXPECT_DOUBLE_EQ(s.DaysRepeatTime, c.expected);
        EXPECT_EQ(s.DaysRepeat, QStringLiteral("0110000"));
    }
}

TEST_F(CronStorage, ImpossibleDatesAndTimesAreErrors) {
    EXPECT_THROW(ReadEntry("DateTime=20241331000000\r\n"), EConvertError);
    EXPECT_THROW(ReadEntry("LastAction=20240230000000\r\n"), EConvertError);
    EXPECT_THROW(ReadEntry("Repeat=2\r\nDaysRepeatTime=2500\r\n"), EConvertError);
    // The moment of a once-entry is not read for the other kinds.
    EXPECT_NO_THROW(ReadEntry("Repeat=2\r\nDateTime=20241331000000\r\n"));
}

TEST_F(CronStorage, LoaderMakesEntriesOfExistingProfilesWiredToTheProfile) {
    const IniDocument ini = Ini("[CronList]\r\n"
                                "CRN1=SNK202401011200001234\r\n"
                                "CRN2=SNK202401011200001234\r\n"
                                "[CRN1]\r\nRepeat=1\r\nIntervalValue=15\r\nEnabled=1\r\n"
                                "[CRN2]\r\nRepeat=2\r\nDaysRepeat=0000011\r\nDaysRepeatTime=0930\r\nEnabled=0\r\n");
    LoadCrons(ctx.Schedule(), ini, ctx.Paths().SettingsFile());
    ASSERT_EQ(ctx.Schedule().Entries().size(), 2u);
    const TLumo_Crone& every = *ctx.Schedule().Entries()[0];
    const TLumo_Crone& daily = *ctx.Schedule().Entries()[1];
    EXPECT_EQ(every.pUID, QStringLiteral("CRN1"));
    EXPECT_EQ(every.pRepeatIntervalValue, 15);
    EXPECT_TRUE(every.pEnabled);
    EXPECT_EQ(daily.pRepeat, TCronRepeat::trDaily);
    EXPECT_EQ(DaysRepeatToText(daily.pDailyRepeat), QStringLiteral("0000011"));
    EXPECT_DOUBLE_EQ(daily.pDaylyRepeatTime, EncodeTime(9, 30, 0, 0));
    EXPECT_FALSE(daily.pEnabled);
    EXPECT_EQ(daily.SenderUID(), kProfile);

    ASSERT_TRUE(every.pOnAction);
    every.pOnAction(every.CronSender());
    const auto waiting = ctx.Saver().WaitingRequests();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].fType, TSaveSetType::stCrone);
}

TEST_F(CronStorage, BadStampStopsLoadingAndKeepsTheEntriesMadeSoFar) {
    const IniDocument ini = Ini("[CronList]\r\n"
                                "CRN1=SNK202401011200001234\r\n"
                                "CRN2=SNK202401011200001234\r\n"
                                "CRN3=SNK202401011200001234\r\n"
                                "[CRN1]\r\nRepeat=1\r\n"
                                "[CRN2]\r\nLastAction=20249999000000\r\n"
                                "[CRN3]\r\nRepeat=1\r\n");
    LoadCrons(ctx.Schedule(), ini, ctx.Paths().SettingsFile());
    ASSERT_EQ(ctx.Schedule().Entries().size(), 1u);
    EXPECT_EQ(ctx.Schedule().Entries()[0]->pUID, QStringLiteral("CRN1"));
}

TEST_F(CronStorage, KeysOfDeletedProfilesAreRemovedFromTheFileAtOnce) {
    const QByteArray file = "\xEF\xBB\xBF[Main]\r\nLanguage=Eng\r\n"
                            "[CronList]\r\n"
                            "CRN1=SNK209901010000000000\r\n"
                            "CRN2=SNK202401011200001234\r\n"
                            "[CRN1]\r\nRepeat=1\r\n"
                            "[CRN2]\r\nRepeat=1\r\n";
    sandbox.writeFile("Backup.ini", file);
    LoadCrons(ctx.Schedule(), IniDocument::FromBytes(file), ctx.Paths().SettingsFile());

    ASSERT_EQ(ctx.Schedule().Entries().size(), 1u);
    EXPECT_EQ(ctx.Schedule().Entries()[0]->pUID, QStringLiteral("CRN2"));
    const IniDocument after = IniDocument::FromBytes(sandbox.readFile("Backup.ini"));
    EXPECT_EQ(after.Keys("CronList"), QStringList{"CRN2"});
    EXPECT_FALSE(after.HasSection("CRN1"));
    EXPECT_TRUE(after.HasSection("CRN2"));
    EXPECT_EQ(after.Value("Main", "Language"), QStringLiteral("Eng"));
}

TEST_F(CronStorage, KeyNamingAnotherFamilysSectionIsNeitherLoadedNorErased) {
    const QString profileSt = kProfile + "_st";
    const IniDocument loaded = Ini("[CronList]\r\nMain=SNK202401011200001234\r\n"
                                   "SNK202401011200001234_st=SNK202401011200001234\r\n"
                                   "[Main]\r\nLanguage=Eng\r\n");
    LoadCrons(ctx.Schedule(), loaded, ctx.Paths().SettingsFile());
    EXPECT_TRUE(ctx.Schedule().Entries().empty());

    IniDocument ini = Ini("[CronList]\r\nMain=SNK202401011200001234\r\n"
                          "SNK202401011200001234_st=SNK202401011200001234\r\n"
                          "[Main]\r\nLanguage=Eng\r\n[SNK202401011200001234_st]\r\nTitle=Docs\r\n");
    WriteCronList(ini, ctx.Schedule());
    EXPECT_FALSE(ini.HasSection("CronList"));
    EXPECT_EQ(ini.Value("Main", "Language"), QStringLiteral("Eng"));
    EXPECT_EQ(ini.Value(profileSt, "Title"), QStringLiteral("Docs"));
}

TCroneSettings DailySettings(const QString& uid, const QString& profile) {
    TCroneSettings s;
    s.UID = uid;
    s.Enabled = true;
    s.CronRepeat = TCronRepeat::trDaily;
    s.DaysRepeat = QStringLiteral("0101010");
    s.DaysRepeatTime = EncodeTime(10, 5, 9, 0);
    s.ExpiredCron = false;
    s.LastAction = EncodeDate(2024, 1, 30) + EncodeTime(10, 5, 9, 0);
    s.CronSender.SenderUID = profile;
    return s;
}

TEST_F(CronStorage, WriterStoresUserEntriesOfExistingProfilesInTableOrder) {
    TLumo_Crone& daily = CreateCron(ctx.Schedule(), DailySettings(kEntry, kProfile));
    daily.pActionDateTime = EncodeDate(2024, 2, 1) + EncodeTime(10, 5, 9, 0);
    TCroneSettings system = DailySettings({}, {});
    system.System = true;
    CreateCron(ctx.Schedule(), system);
    CreateCron(ctx.Schedule(), DailySettings(QStringLiteral("CRN3"), kOther)); // profile gone
    CreateCron(ctx.Schedule(), DailySettings(QStringLiteral("CRN4"), {}));     // serves nobody
    TCroneSettings every;
    every.UID = QStringLiteral("CRN5");
    every.CronRepeat = TCronRepeat::trEveryTime;
    every.RepeatIntervalValue = 45;
    every.Enabled = false;
    every.ExpiredCron = true;
    every.CronSender.SenderUID = kProfile;
    CreateCron(ctx.Schedule(), every);

    IniDocument ini = Ini("[CronList]\r\nCRN_OLD=SNK202401011200001234\r\nCRN3=ZIP202401011200005678\r\n"
                          "[CRN_OLD]\r\nRepeat=0\r\n[CRN3]\r\nRepeat=2\r\n[Unrelated]\r\nKeep=1\r\n");
    WriteCronList(ini, ctx.Schedule());

    EXPECT_EQ(ini.Keys("CronList"), (QStringList{kEntry, "CRN5"}));
    EXPECT_EQ(ini.Value("CronList", kEntry), kProfile);
    EXPECT_FALSE(ini.HasSection("CRN_OLD"));
    EXPECT_FALSE(ini.HasSection("CRN3"));
    EXPECT_FALSE(ini.HasSection("CRN4"));
    EXPECT_EQ(ini.Value("Unrelated", "Keep"), QStringLiteral("1"));

    const std::vector<std::pair<QString, QString>> expectedDaily{
        {"Repeat", "2"},         {"IntervalValue", "0"},          {"DateTime", "20240201100509"},
        {"Expired", "0"},        {"Enabled", "1"},                {"LastAction", "20240130100509"},
        {"DaysRepeat", "0101010"}, {"DaysRepeatTime", "100509"},
    };
    EXPECT_EQ(ini.Values(kEntry), expectedDaily);
    const std::vector<std::pair<QString, QString>> expectedEvery{
        {"Repeat", "1"},         {"IntervalValue", "45"},         {"DateTime", "18991230000000"},
        {"Expired", "1"},        {"Enabled", "0"},                {"LastAction", "18991230000000"},
        {"DaysRepeat", "1000000"}, {"DaysRepeatTime", "000000"},
    };
    EXPECT_EQ(ini.Values("CRN5"), expectedEvery);
}

TEST_F(CronStorage, WrittenScheduleLoadsBackTheSame) {
    CreateCron(ctx.Schedule(), DailySettings(kEntry, kProfile));
    TCroneSettings once;
    once.UID = QStringLiteral("CRN2");
    once.Enabled = false;
    once.OnceDateTime = EncodeDate(2024, 3, 4) + EncodeTime(5, 6, 7, 0);
    once.CronSender.SenderUID = kProfile;
    CreateCron(ctx.Schedule(), once);
    IniDocument ini;
    WriteCronList(ini, ctx.Schedule());

    TestSandbox otherBox;
    TAppContext other(TAppPaths{otherBox.path() + "/", otherBox.path() + "/Lang/"});
    TLumo_Sync::Create(other, kProfile);
    LoadCrons(other.Schedule(), ini, other.Paths().SettingsFile());
    ASSERT_EQ(other.Schedule().Entries().size(), 2u);
    const TLumo_Crone& d = *other.Schedule().Entries()[0];
    EXPECT_EQ(d.pUID, kEntry);
    EXPECT_EQ(d.pRepeat, TCronRepeat::trDaily);
    EXPECT_EQ(DaysRepeatToText(d.pDailyRepeat), QStringLiteral("0101010"));
    EXPECT_NEAR(d.pDaylyRepeatTime, EncodeTime(10, 5, 9, 0), 1e-9);
    EXPECT_NEAR(d.pLastAction, EncodeDate(2024, 1, 30) + EncodeTime(10, 5, 9, 0), 1e-9);
    EXPECT_FALSE(d.pExpiredCron);
    const TLumo_Crone& o = *other.Schedule().Entries()[1];
    EXPECT_EQ(o.pRepeat, TCronRepeat::trOnce);
    EXPECT_NEAR(o.pActionDateTime, once.OnceDateTime, 1e-9);
    EXPECT_FALSE(o.pEnabled);
}

} // namespace
