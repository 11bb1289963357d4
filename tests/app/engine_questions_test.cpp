// The engine's question interface and the display order a window sets.

#include "app/app_context.h"
#include "sync/sync_task.h"

#include "test_env.h"

#include <gtest/gtest.h>

namespace {

class RecordingAnswers : public IEngineQuestions {
public:
    bool AskYesNo(const TEngineQuestion& question) override {
        asked.push_back(question.Text);
        return answer;
    }
    std::vector<QString> asked;
    bool answer = true;
};

class EngineContextTest : public ::testing::Test {
protected:
    EngineContextTest() : ctx(TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"}) {}
    TestSandbox sandbox;
    TAppContext ctx;
};

// Without a window every question gets its unattended answer, whatever it is;
// a window that sets itself is asked instead, until it takes itself away.
TEST_F(EngineContextTest, QuestionsGetTheUnattendedAnswerUnlessSomeoneAnswers) {
    for (bool unattended : {false, true}) {
        const TEngineQuestion question{"Title", "Go on?", unattended};
        EXPECT_EQ(ctx.Questions().AskYesNo(question), unattended);
    }
    RecordingAnswers window;
    window.answer = false;
    ctx.SetQuestions(&window);
    EXPECT_FALSE(ctx.Questions().AskYesNo(TEngineQuestion{"Title", "Go on?", true}));
    EXPECT_EQ(window.asked, std::vector<QString>{"Go on?"});
    ctx.SetQuestions(nullptr);
    EXPECT_TRUE(ctx.Questions().AskYesNo(TEngineQuestion{"Title", "Go on?", true}));
    EXPECT_EQ(window.asked.size(), 1u);
}

// The order a window sets replaces the stored one: UIDs without a profile are
// left out and profiles it does not name follow in load order.
TEST_F(EngineContextTest, TheDisplayOrderAWindowSetsIsTheOrderOfTheRows) {
    const QString a = TLumo_Sync::Create(ctx, "SNKA").UID();
    const QString b = TLumo_Sync::Create(ctx, "SNKB").UID();
    const QString c = TLumo_Sync::Create(ctx, "SNKC").UID();
    EXPECT_EQ(ctx.DisplayOrderUIDs(), QStringList({a, b, c}));
    ctx.SetDisplayOrder({c, "SNKGONE", a});
    EXPECT_EQ(ctx.DisplayOrderUIDs(), QStringList({c, a, b}));
}

} // namespace
