#include "app/app_context.h"
#include "app/save_steps.h"
#include "app/settings_loader.h"
#include "ini/ini_document.h"
#include "profiles/profile_kinds.h"

#include "qt_app.h"
#include "test_env.h"

#include <QFile>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

QByteArray EveryKindFile() {
    QFile file(QStringLiteral(NORVANE_TEST_DATA "/settings/every_kind.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file text without anything of uid, worked out on the text alone: the
// sections whose names start with it and the "uid=" lines of the lists.
QByteArray WithoutProfile(const QByteArray& file, const QString& uid) {
    const QByteArray bom("\xEF\xBB\xBF");
    const QByteArray prefix = uid.toUtf8().toLower();
    QByteArray out = file.startsWith(bom) ? bom : QByteArray();
    bool inProfileSection = false;
    for (qsizetype at = out.size(); at < file.size();) {
        qsizetype end = file.indexOf("\r\n", at);
        end = end < 0 ? file.size() : end + 2;
        const QByteArray line = file.mid(at, end - at);
        at = end;
        if (line.startsWith('['))
            inProfileSection = line.mid(1).toLower().startsWith(prefix);
        else if (line.toLower().startsWith(prefix + '='))
            continue;
        if (!inProfileSection)
            out += line;
    }
    return out;
}

class ProfileKindsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }

    TestSandbox sandbox;
    TAppContext ctx{TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"}};
};

TEST_F(ProfileKindsTest, DeletingAProfileOfEachKindLeavesEverythingElseAsItWas) {
    const QByteArray stored = EveryKindFile();
    ASSERT_FALSE(stored.isEmpty());
    for (const char* uid : {"SNK202401051200001111", "ZIP202401071200003333", "FZP202401091200005555"}) {
        ASSERT_TRUE(stored.contains(QByteArray("[") + uid + "]")) << uid;
        IniDocument ini = IniDocument::FromBytes(stored);
        ApplySaveRequest(ini, TSaveTask{TSaveSetType::stDelProfile, QString::fromLatin1(uid)}, ctx);
        EXPECT_EQ(ini.ToBytes(), WithoutProfile(stored, QString::fromLatin1(uid))) << uid;
    }
}

// A kind the program does not have, registered the way the composition root
// registers its own: the loader and the eraser reach it through the registry.
TEST_F(ProfileKindsTest, ARegisteredKindIsLoadedAfterTheOthersAndErasedWithItsSections) {
    std::vector<size_t> profilesSeenAtLoad;
    std::vector<QStringList> listedAtLoad;
    ctx.ProfileKinds().Register(TProfileKindInfo{
        QStringLiteral("TestList"), QStringLiteral("TST"), {QString(), QStringLiteral("_Tx")},
        [&](const IniDocument& ini, TEngineServices& services) {
            EXPECT_EQ(&services, static_cast<TEngineServices*>(&ctx));
            profilesSeenAtLoad.push_back(ctx.Profiles().size());
            listedAtLoad.push_back(ini.Keys(QStringLiteral("TestList")));
        }});

    QByteArray file = EveryKindFile();
    ASSERT_FALSE(file.isEmpty());
    const QByteArray kindLines = "[TestList]\r\nTST202401121200008888=Mine\r\n[TST202401121200008888]\r\nx=1\r\n"
                                 "[TST202401121200008888_Tx]\r\ny=2\r\n";
    file += kindLines;
    sandbox.writeFile("data/Backup.ini", file);
    ctx.SystemLanguage = "Eng";
    LoadAllSettings(ctx);
    // Called once, when the three kinds before it had made their five profiles.
    EXPECT_EQ(profilesSeenAtLoad, std::vector<size_t>{5});
    EXPECT_EQ(listedAtLoad, std::vector<QStringList>{{"TST202401121200008888"}});

    IniDocument ini = IniDocument::FromBytes(file);
    ApplySaveRequest(ini, TSaveTask{TSaveSetType::stDelProfile, QStringLiteral("TST202401121200008888")}, ctx);
    QByteArray expected = EveryKindFile() + "[TestList]\r\n";
    EXPECT_EQ(ini.ToBytes(), expected);
}

TEST(ProfileKindsList, LoadsItsKindsInRegistrationOrderAndErasesEveryKindsTraces) {
    std::vector<std::string> calls;
    TProfileKinds kinds;
    for (const char* name : {"A", "B"})
        kinds.Register(TProfileKindInfo{QStringLiteral("%1List").arg(name), QString::fromLatin1(name),
                                        {QString(), QStringLiteral("_%1").arg(name)},
                                        [&calls, name](const IniDocument&, TEngineServices&) { calls.push_back(name); }});
    EnsureQtApp();
    TestSandbox sandbox;
    TAppContext services(TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"});
    kinds.LoadAll(IniDocument(), services);
    EXPECT_EQ(calls, (std::vector<std::string>{"A", "B"}));

    // The same UID in both lists, with both kinds' sections: all of it goes;
    // another UID's lines and sections stay.
    IniDocument ini = IniDocument::FromBytes("[AList]\r\nU1=a\r\nU2=b\r\n[BList]\r\nU1=c\r\n[U1]\r\nk=1\r\n[U1_A]\r\n"
                                             "k=2\r\n[U1_B]\r\nk=3\r\n[U2_A]\r\nk=4\r\n[U1_C]\r\nk=5\r\n");
    kinds.EraseProfile(ini, QStringLiteral("u1"));
    EXPECT_EQ(ini.ToBytes(), QByteArray("\xEF\xBB\xBF[AList]\r\nU2=b\r\n[BList]\r\n[U2_A]\r\nk=4\r\n[U1_C]\r\nk=5\r\n"));
}

} // namespace
