// Every message with which the profile editor refuses an apply: a table of bad
// inputs, each typed into the window or opened from a stored profile, gives its
// text, its page and its field, and nothing is stored.

#include "editor_test_support.h"

#include "folderzip/folderzip_task.h"
#include "gui/profiles/profile_editor.h"
#include "gui/util/bounded_spin_box.h"
#include "lang/language.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "zip/zip_task.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct TBadInput {
    const char* Name;
    TBackupClass Kind;
    // Makes the stored profile to open (its UID), or nothing for a new profile.
    std::function<QString(TAppContext&, const TestSandbox&)> Stored;
    // What the person types before pressing Apply.
    std::function<void(TfrmProfile&, const TestSandbox&)> Type;
    Lng Message;
    int Page;
    const char* Focus; // object name of the field that gets the focus
};

QString StoredSync(TAppContext& context, const QStringList& pairs) {
    TLumo_Sync& task = TLumo_Sync::Create(context, QString());
    TSyncSettings s;
    s.nTitle = QStringLiteral("Pairs");
    s.nValueList = pairs;
    task.ApplyNewSettings(s, false);
    return task.UID();
}

QString StoredZip(TAppContext& context, const TestSandbox& box) {
    TLumo_Zip& task = TLumo_Zip::Create(context, QString());
    TZip_Settings s;
    s.nTitle = QStringLiteral("Archive");
    s.nFilename = QStringLiteral("a.zip");
    s.nFolder = box.file(QStringLiteral("target/"));
    s.nValueList = {QStringLiteral("1"), box.file(QStringLiteral("src/"))};
    task.ApplyNewSettings(s, false);
    return task.UID();
}

QString StoredFolderZip(TAppContext& context, const TestSandbox& box) {
    TLumo_FolderZip& task = TLumo_FolderZip::Create(context, QString());
    TFolderZip_Settings s;
    s.nTitle = QStringLiteral("Folders");
    s.nSourceFolder = box.file(QStringLiteral("src/"));
    s.nSaveToFolder = box.file(QStringLiteral("out/"));
    task.ApplyNewSettings(s, false);
    return task.UID();
}

void Type(TfrmProfile& w, const char* field, const QString& text) { TypeInto(Child<QLineEdit>(&w, field), text); }

const TBadInput kBadInputs[] = {
    {"SyncEmptyTitle", TBackupClass::bcSync, nullptr,
     [](TfrmProfile& w, const TestSandbox&) { Type(w, "edtSyncTitle", QStringLiteral("   ")); },
     Lng::lng_Dialog_InvalidTaskTitle, 0, "edtSyncTitle"},
    {"SyncNoPairs", TBackupClass::bcSync, nullptr,
     [](TfrmProfile& w, const TestSandbox&) { Type(w, "edtSyncTitle", QStringLiteral("Docs")); },
     Lng::lng_Dialog_SyncNoElements, 1, "lstSyncPairs"},
    {"SyncStorageInsideItsSource", TBackupClass::bcSync,
     [](TAppContext& c, const TestSandbox& b) {
         return StoredSync(c, {b.file(QStringLiteral("a/")), b.file(QStringLiteral("a/copy/"))});
     },
     nullptr, Lng::lng_Dialog_FolderExistsOrNested, 1, "lstSyncPairs"},
    {"SyncSameFolderInTwoPairs", TBackupClass::bcSync,
     [](TAppContext& c, const TestSandbox& b) {
         return StoredSync(c, {b.file(QStringLiteral("a/")), b.file(QStringLiteral("b/")), b.file(QStringLiteral("b/")),
                               b.file(QStringLiteral("c/"))});
     },
     nullptr, Lng::lng_Dialog_FolderExistsOrNested, 1, "lstSyncPairs"},
    {"SyncRelativeFolder", TBackupClass::bcSync,
     [](TAppContext& c, const TestSandbox& b) { return StoredSync(c, {QStringLiteral("docs/"), b.file(QStringLiteral("b/"))}); },
     nullptr, Lng::lib_lng_Dlg_Text_InvalidFolder, 1, "lstSyncPairs"},
    {"SyncBigFileSizeBelowRange", TBackupClass::bcSync,
     [](TAppContext& c, const TestSandbox& b) {
         return StoredSync(c, {b.file(QStringLiteral("a/")), b.file(QStringLiteral("b/"))});
     },
     [](TfrmProfile& w, const TestSandbox&) {
         Child<QCheckBox>(&w, "chkSkipLarge")->setChecked(true);
         auto* spin = Child<TBoundedSpinBox>(&w, "spnBigFileSize");
         spin->setFocus();
         spin->selectAll();
         QTest::keyClicks(spin, QStringLiteral("5"));
     },
     Lng::lib_lng_Dlg_Text_InvalidValue, 0, "spnBigFileSize"},
    {"ZipEmptyTitle", TBackupClass::bcZip, nullptr, nullptr, Lng::lng_Dialog_InvalidTaskTitle, 0, "edtZipTitle"},
    {"ZipNoFolder", TBackupClass::bcZip, nullptr,
     [](TfrmProfile& w, const TestSandbox&) { Type(w, "edtZipTitle", QStringLiteral("Archive")); },
     Lng::lib_lng_Dlg_Text_InvalidFolder, 0, "edtZipFolder"},
    {"ZipRelativeFolder", TBackupClass::bcZip, nullptr,
     [](TfrmProfile& w, const TestSandbox&) {
         Type(w, "edtZipTitle", QStringLiteral("Archive"));
         Type(w, "edtZipFolder", QStringLiteral("backups/"));
     },
     Lng::lib_lng_Dlg_Text_InvalidFolder, 0, "edtZipFolder"},
    {"ZipEmptyFileName", TBackupClass::bcZip, nullptr,
     [](TfrmProfile& w, const TestSandbox& b) {
         Type(w, "edtZipTitle", QStringLiteral("Archive"));
         Type(w, "edtZipFolder", b.file(QStringLiteral("target/")));
         Type(w, "edtZipFilename", QString());
     },
     Lng::lib_lng_Dlg_Text_InvalidFilename, 0, "edtZipFilename"},
    {"ZipTemplateThatExpandsToNothing", TBackupClass::bcZip, nullptr,
     [](TfrmProfile& w, const TestSandbox& b) {
         Type(w, "edtZipTitle", QStringLiteral("Archive"));
         Type(w, "edtZipFolder", b.file(QStringLiteral("target/")));
         Type(w, "edtZipFilename", QStringLiteral("/../:*?"));
     },
     Lng::lib_lng_Dlg_Text_InvalidFilename, 0, "edtZipFilename"},
    {"ZipNoElements", TBackupClass::bcZip, nullptr,
     [](TfrmProfile& w, const TestSandbox& b) {
         Type(w, "edtZipTitle", QStringLiteral("Archive"));
         Type(w, "edtZipFolder", b.file(QStringLiteral("target/")));
     },
     Lng::lng_Dialog_ZipNoElements, 1, "lstZipElements"},
    {"ZipCompressionAboveRange", TBackupClass::bcZip, StoredZip,
     [](TfrmProfile& w, const TestSandbox&) {
         auto* spin = Child<TBoundedSpinBox>(&w, "spnZipCompression");
         spin->setFocus();
         spin->selectAll();
         QTest::keyClicks(spin, QStringLiteral("12"));
     },
     Lng::lib_lng_Dlg_Text_InvalidValue, 0, "spnZipCompression"},
    {"ZipVersionsAboveRange", TBackupClass::bcZip, StoredZip,
     [](TfrmProfile& w, const TestSandbox&) {
         Child<QCheckBox>(&w, "chkUseVersion")->setChecked(true);
         auto* spin = Child<TBoundedSpinBox>(&w, "spnVersions");
         spin->setFocus();
         spin->selectAll();
         QTest::keyClicks(spin, QStringLiteral("100"));
     },
     Lng::lib_lng_Dlg_Text_InvalidValue, 0, "spnVersions"},
    {"ZipPartSizeBelowRange", TBackupClass::bcZip, StoredZip,
     [](TfrmProfile& w, const TestSandbox&) {
         Child<QCheckBox>(&w, "chkZipSpan")->setChecked(true);
         auto* spin = Child<TBoundedSpinBox>(&w, "spnZipSpan");
         spin->setFocus();
         spin->selectAll();
         QTest::keyClicks(spin, QStringLiteral("9"));
     },
     Lng::lib_lng_Dlg_Text_InvalidValue, 0, "spnZipSpan"},
    {"FolderZipEmptyTitle", TBackupClass::bcFolderZip, nullptr, nullptr, Lng::lng_Dialog_InvalidTaskTitle, 0,
     "edtFzTitle"},
    {"FolderZipNoSource", TBackupClass::bcFolderZip, nullptr,
     [](TfrmProfile& w, const TestSandbox& b) {
         Type(w, "edtFzTitle", QStringLiteral("Folders"));
         Type(w, "edtFzStorage", b.file(QStringLiteral("out/")));
     },
     Lng::lib_lng_Dlg_Text_InvalidFolder, 0, "edtFzSource"},
    {"FolderZipNoStorage", TBackupClass::bcFolderZip, nullptr,
     [](TfrmProfile& w, const TestSandbox& b) {
         Type(w, "edtFzTitle", QStringLiteral("Folders"));
         Type(w, "edtFzSource", b.file(QStringLiteral("src/")));
     },
     Lng::lib_lng_Dlg_Text_InvalidFolder, 0, "edtFzStorage"},
    {"FolderZipRelativeStorage", TBackupClass::bcFolderZip, nullptr,
     [](TfrmProfile& w, const TestSandbox& b) {
         Type(w, "edtFzTitle", QStringLiteral("Folders"));
         Type(w, "edtFzSource", b.file(QStringLiteral("src/")));
         Type(w, "edtFzStorage", QStringLiteral("out"));
     },
     Lng::lib_lng_Dlg_Text_InvalidFolder, 0, "edtFzStorage"},
    {"FolderZipStorageInsideSource", TBackupClass::bcFolderZip, nullptr,
     [](TfrmProfile& w, const TestSandbox& b) {
         Type(w, "edtFzTitle", QStringLiteral("Folders"));
         Type(w, "edtFzSource", b.file(QStringLiteral("src")));
         Type(w, "edtFzStorage", b.file(QStringLiteral("src/archives")));
     },
     Lng::lng_Dialog_ZipFolderErrorFolder, 0, "edtFzStorage"},
    {"FolderZipPartSizeAboveRange", TBackupClass::bcFolderZip, StoredFolderZip,
     [](TfrmProfile& w, const TestSandbox&) {
         Child<QCheckBox>(&w, "chkFzSpan")->setChecked(true);
         auto* spin = Child<TBoundedSpinBox>(&w, "spnFzSpan");
         spin->setFocus();
         spin->selectAll();
         QTest::keyClicks(spin, QStringLiteral("10000"));
     },
     Lng::lib_lng_Dlg_Text_InvalidValue, 0, "spnFzSpan"},
};

class BadInput : public ::testing::TestWithParam<TBadInput> {};

} // namespace

TEST_P(BadInput, IsRefusedWithItsMessageOnItsPageAndNothingIsStored) {
    EditorFixture f;
    const TBadInput& bad = GetParam();
    const QString uid = bad.Stored ? bad.Stored(*f.context, f.box) : QString();
    const size_t profilesBefore = f.context->Profiles().size();
    TfrmProfile window(*f.context);
    ASSERT_TRUE(window.SetProfile(uid, bad.Kind));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    if (bad.Type)
        bad.Type(window, f.box);
    const auto settingsBefore = [&] {
        if (uid.isEmpty())
            return QByteArray();
        const TLumo_BackupProfile* p = f.context->FindProfileByUID(uid);
        return p->Title().toUtf8();
    }();

    QTest::mouseClick(Child<QPushButton>(&window, "btnApply"), Qt::LeftButton);

    EXPECT_EQ(f.LastNotification(), LngText(bad.Message));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.CurrentPage(), bad.Page);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    const bool focused = focus->objectName() == QLatin1String(bad.Focus) ||
                         (focus->parentWidget() && focus->parentWidget()->objectName() == QLatin1String(bad.Focus));
    EXPECT_TRUE(focused) << "focus is on " << focus->objectName().toStdString();
    EXPECT_EQ(f.context->Profiles().size(), profilesBefore);
    EXPECT_TRUE(f.context->Saver().WaitingRequests().empty());
    if (!uid.isEmpty()) {
        EXPECT_EQ(f.context->FindProfileByUID(uid)->Title().toUtf8(), settingsBefore);
    }
    window.SetHooks({});
    window.hide();
}

INSTANTIATE_TEST_SUITE_P(Table, BadInput, ::testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ProfileEditorChecks, TheNestedStorageRowIsSelected) {
    EditorFixture f;
    const QString uid = StoredSync(*f.context, {f.box.file(QStringLiteral("a/")), f.box.file(QStringLiteral("b/")),
                                                f.box.file(QStringLiteral("c/")), f.box.file(QStringLiteral("a/in/"))});
    TfrmProfile window(*f.context);
    window.SetProfile(uid, TBackupClass::bcNone);
    window.show();
    QTest::mouseClick(Child<QPushButton>(&window, "btnApply"), Qt::LeftButton);
    EXPECT_EQ(f.LastNotification(), LngText(Lng::lng_Dialog_FolderExistsOrNested));
    EXPECT_EQ(Child<QListWidget>(&window, "lstSyncPairs")->currentRow(), 1);
    window.hide();
}

TEST(ProfileEditorChecks, AFolderArchivingJobWhoseStorageIsItsSourcePassesTheNestingCheck) {
    EditorFixture f;
    TfrmProfile window(*f.context);
    window.SetProfile(QString(), TBackupClass::bcFolderZip);
    window.show();
    Type(window, "edtFzTitle", QStringLiteral("Same"));
    Type(window, "edtFzSource", f.box.file(QStringLiteral("src/")));
    Type(window, "edtFzStorage", f.box.file(QStringLiteral("src/")));
    QTest::mouseClick(Child<QPushButton>(&window, "btnApply"), Qt::LeftButton);
    EXPECT_EQ(f.NotificationCount(), 0) << f.LastNotification().toStdString();
    EXPECT_FALSE(window.CreatedUID().isEmpty());
}
