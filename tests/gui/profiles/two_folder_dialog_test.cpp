// The two-folder dialog of sync folder pairs refuses what cannot be a pair and
// hands back both folders with their separators.

#include "editor_test_support.h"

#include "gui/util/two_folder_dialog.h"
#include "lang/language.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct TPairCase {
    const char* Name;
    const char* Source;
    const char* Storage;
    Lng Message;
};

const TPairCase kRefusedPairs[] = {
    {"EmptySource", "", "/b", Lng::lib_lng_Dlg_Text_InvalidFolder},
    {"EmptyStorage", "/a", "  ", Lng::lib_lng_Dlg_Text_InvalidFolder},
    {"RelativeSource", "docs", "/b", Lng::lib_lng_Dlg_Text_InvalidFolder},
    {"SameFolder", "/data/Docs", "/DATA/docs/", Lng::lng_Dialog_FoldersPathMustNotMath},
    {"StorageInsideSource", "/data", "/data/copy", Lng::lng_Dialog_FolderExistsOrNested},
    {"SourceInsideStorage", "/backup/docs/", "/backup", Lng::lng_Dialog_FolderExistsOrNested},
};

class RefusedPair : public ::testing::TestWithParam<TPairCase> {};

} // namespace

TEST_P(RefusedPair, ShowsItsMessageAndStaysOpen) {
    EditorFixture f;
    tFrmTwoFolderChoose dialog;
    dialog.show();
    TypeInto(dialog.SourceEdit(), QString::fromUtf8(GetParam().Source));
    TypeInto(dialog.StorageEdit(), QString::fromUtf8(GetParam().Storage));
    QTest::mouseClick(dialog.ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(f.LastNotification(), LngText(GetParam().Message));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedPair, ::testing::ValuesIn(kRefusedPairs),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(TwoFolderDialog, AGoodPairComesBackWithSeparatorsAndCancelGivesNothing) {
    EditorFixture f;
    WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<tFrmTwoFolderChoose*>(modal);
        ASSERT_NE(dialog, nullptr);
        TypeInto(dialog->SourceEdit(), QStringLiteral("/data/docs"));
        TypeInto(dialog->StorageEdit(), QStringLiteral("/data/docs2"));
        QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
    });
    const TFolderPair pair = ChooseTwoFolders(QString(), QString());
    EXPECT_EQ(pair.Source, QStringLiteral("/data/docs/"));
    EXPECT_EQ(pair.Storage, QStringLiteral("/data/docs2/"));

    WhenModalOpens([](QWidget* modal) { modal->close(); });
    EXPECT_TRUE(ChooseTwoFolders(QStringLiteral("/a/"), QStringLiteral("/b/")).Source.isEmpty());
}
