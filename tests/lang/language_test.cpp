#include "lang/language.h"
#include "lang_test_support.h"

#include <gtest/gtest.h>

TEST(Language, EveryTextIsEmptyBeforeATableIsApplied) {
    TLanguage language;
    for (int i = 0; i < kLngCount; ++i)
        EXPECT_TRUE(language.Text(static_cast<Lng>(i)).isEmpty()) << KeyName(static_cast<Lng>(i)).toStdString();
}

TEST(Language, SetTextChangesOnlyThatVariable) {
    TLanguage language;
    language.SetText(Lng::lng_Global_StatusWait, QStringLiteral("Warten"));
    EXPECT_EQ(language.Text(Lng::lng_Global_StatusWait), QLatin1String("Warten"));
    EXPECT_EQ(language.TextCopy(Lng::lng_Global_StatusWait), QLatin1String("Warten"));
    EXPECT_TRUE(language.Text(Lng::lng_Global_StatusQueue).isEmpty());
    language.Clear();
    EXPECT_TRUE(language.Text(Lng::lng_Global_StatusWait).isEmpty());
}

TEST(Language, KeyOutsideTheEnumerationIsHarmless) {
    TLanguage language;
    language.SetText(Lng::Count, QStringLiteral("x"));
    language.SetText(static_cast<Lng>(-5), QStringLiteral("x"));
    EXPECT_TRUE(language.Text(Lng::Count).isEmpty());
    EXPECT_TRUE(language.TextCopy(static_cast<Lng>(-5)).isEmpty());
}

TEST(Language, CurrentFollowsTheInstalledLanguageAndFallsBackToTheDefault) {
    TLanguage& fallback = TLanguage::Current();
    TLanguage outer, inner;
    outer.SetText(Lng::lib_lng_btn_Add, QStringLiteral("outer"));
    inner.SetText(Lng::lib_lng_btn_Add, QStringLiteral("inner"));
    {
        TScopedCurrentLanguage installOuter(outer);
        EXPECT_EQ(&TLanguage::Current(), &outer);
        EXPECT_EQ(LngText(Lng::lib_lng_btn_Add), QLatin1String("outer"));
        {
            TScopedCurrentLanguage installInner(inner);
            EXPECT_EQ(LngText(Lng::lib_lng_btn_Add), QLatin1String("inner"));
        }
        EXPECT_EQ(&TLanguage::Current(), &outer);
    }
    EXPECT_EQ(&TLanguage::Current(), &fallback);

    TLanguage::SetCurrent(&inner);
    EXPECT_EQ(&TLanguage::Current(), &inner);
    TLanguage::SetCurrent(nullptr);
    EXPECT_EQ(&TLanguage::Current(), &fallback);
}
