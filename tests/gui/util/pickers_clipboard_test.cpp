// The clipboard helpers and the filter handling of the pickers.

#include "gui/util/clipboard.h"
#include "gui/util/pickers.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

TEST(Clipboard, TextIsCutToTheMaximumOnlyWhenOneIsGiven) {
    QApplication::clipboard()->setText(QStringLiteral("0123456789"));
    EXPECT_EQ(ClipboardText(4), QStringLiteral("0123"));
    EXPECT_EQ(ClipboardText(0), QStringLiteral("0123456789"));
    EXPECT_EQ(ClipboardText(50), QStringLiteral("0123456789"));
}

TEST(Clipboard, FilesGoAsAUriListAndTheGnomeListWithCopyOrCut) {
    const QStringList paths{QStringLiteral("/tmp/a b.txt"), QStringLiteral("/tmp/dir")};
    for (const bool cut : {false, true}) {
        CopyFilesToClipboard(paths, cut);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->urls(), (QList<QUrl>{QUrl::fromLocalFile(paths[0]), QUrl::fromLocalFile(paths[1])}));
        const QByteArray gnome = data->data(QStringLiteral("x-special/gnome-copied-files"));
        EXPECT_EQ(gnome, QByteArray(cut ? "cut" : "copy") + "\nfile:///tmp/a%20b.txt\nfile:///tmp/dir");
    }
}

TEST(Pickers, FilterLinesBecomeQtFiltersAndTheDefaultSuffix) {
    EXPECT_EQ(QtFileFilter({QStringLiteral("All files|*.*")}), QStringLiteral("All files (*)"));
    EXPECT_EQ(QtFileFilter({QStringLiteral("Zip archives|*.zip"), QStringLiteral("Application|*.exe; *.com")}),
              QStringLiteral("Zip archives (*.zip);;Application (*.exe *.com)"));
    EXPECT_EQ(DefaultSuffixOf({QStringLiteral("Zip archives|*.zip")}), QStringLiteral("zip"));
    EXPECT_EQ(DefaultSuffixOf({QStringLiteral("All files|*.*")}), QString());
    EXPECT_EQ(DefaultSuffixOf({QStringLiteral("Makefiles|Makefile")}), QString());
}

TEST(Pickers, TheFolderPickerAppendsTheSeparatorAndCancelGivesNothing) {
    {
        TScopedPickerAnswers answers([](const TPickerRequest& r) {
            EXPECT_EQ(r.StartPath, QStringLiteral("/start"));
            return QStringList{QStringLiteral("/home/anna/Music")};
        });
        EXPECT_EQ(ChooseFolder(QStringLiteral("/start")), QStringLiteral("/home/anna/Music/"));
    }
    TScopedPickerAnswers cancel([](const TPickerRequest&) { return QStringList{}; });
    EXPECT_EQ(ChooseFolder(QStringLiteral("/start")), QString());
    QStringList got;
    ChooseFiles(QString(), {QStringLiteral("All files|*.*")}, [&got](const QString& f) { got << f; });
    EXPECT_TRUE(got.isEmpty());
}
