#include "zip_run_support.h"

#include "profiles/backup_profile.h"
#include "util/scramble.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

#define REQUIRE_PYTHON()                                                                                            \
    if (!HasTool("python3"))                                                                                        \
    GTEST_SKIP() << "python3 is not installed"

// Names and stored times (to the second) of the versions.
QStringList VersionTexts(const TFileVersionList& versions) {
    QStringList texts;
    for (const TFileVersion& v : versions)
        texts << v.Filename + " " + DateTimeToStamp(v.FileDateTime);
    return texts;
}

QStringList VersionNames(const TFileVersionList& versions) {
    QStringList names;
    for (const TFileVersion& v : versions)
        names << QFileInfo(v.Filename).fileName();
    return names;
}

TEST_F(ZipRunTest, RunWritesAValidArchiveAndRecordsTheRun) {
    REQUIRE_PYTHON();
    TLumo_Zip& zip = MakeZip();
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(zip.LastActive(), now);
    EXPECT_EQ(zip.Operation(), TLumo_Operation::fsNone);
    EXPECT_EQ(zip.Profile()->Status(), TTaskStatus::tsNone);
    EXPECT_EQ(zip.RealFolder(), Target());
    EXPECT_FALSE(zip.ResultText().isEmpty());
    EXPECT_EQ(NamesIn(Target()), QStringList({"Backup.zip"}));
    const ArchiveListing listing = ListArchive(Target() + "Backup.zip");
    ASSERT_TRUE(listing.ok) << listing.message.toStdString();
    EXPECT_EQ(listing.names, QStringList({"report.txt", "sub/", "sub/notes.txt"}));
    if (HasTool("unzip")) {
        EXPECT_EQ(UnzipTest(Target() + "Backup.zip"), 0);
    }
    const auto requests = Requests();
    EXPECT_NE(std::find(requests.begin(), requests.end(), TSaveTask{TSaveSetType::stProfile, zip.UID()}),
              requests.end());
}

TEST_F(ZipRunTest, ItemsOutsideTheFirstFolderKeepTheirPathAndNonAsciiNamesSurvive) {
    REQUIRE_PYTHON();
    sandbox.writeFile("other/plan.txt", "plan");
    sandbox.writeFile(QString::fromUtf8("src/\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.txt"), "ru");
    TLumo_Zip& zip = MakeZip("Backup.zip", [this](TZip_Settings& s) {
        s.nValueList << "0" << sandbox.path() + "/other/plan.txt";
        s.nExcludeList << "notes.txt";
    });
    Run(zip);
    const ArchiveListing listing = ListArchive(Target() + "Backup.zip");
    ASSERT_TRUE(listing.ok) << listing.message.toStdString();
    const QString planStored = QString(sandbox.path() + "/other/plan.txt").mid(1);
    QStringList expected{"report.txt", "sub/", QString::fromUtf8("\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.txt"),
                         planStored};
    expected.sort();
    EXPECT_EQ(listing.names, expected);
}

TEST_F(ZipRunTest, PasswordIsTheClearTextOfTheStoredForm) {
    REQUIRE_PYTHON();
    const QString password = QString::fromUtf8("p\xC3\xA4ss");
    TLumo_Zip& zip = MakeZip("Backup.zip", [&](TZip_Settings& s) {
        s.nPassword = password;
        s.nPasswordModified = true;
    });
    ASSERT_EQ(zip.Password(), ScrambleText(password));
    Run(zip);
    const ArchiveListing good = ListArchive(Target() + "Backup.zip", password);
    EXPECT_TRUE(good.ok) << good.message.toStdString();
    EXPECT_FALSE(ListArchive(Target() + "Backup.zip", "wrong").ok);
}

TEST_F(ZipRunTest, VersionsByCountRotateOverSeveralRuns) {
    sandbox.writeFile("out/unrelated.txt", "keep");
    TLumo_Zip& zip = MakeZip("Backup.zip", [](TZip_Settings& s) {
        s.nUseVersions = true;
        s.nItemsVersions = true;
        s.nVersionsValue = 3;
    });
    for (int run = 0; run < 5; ++run) {
        now += 1.0 / 24;
        Run(zip);
        ASSERT_EQ(zip.LastError(), TLumo_Error::feNone) << run;
    }
    EXPECT_EQ(zip.FVLastIndex(), 4);
    EXPECT_EQ(NamesIn(Target()), QStringList({"Backup[2].zip", "Backup[3].zip", "Backup[4].zip", "unrelated.txt"}));
    EXPECT_EQ(VersionNames(zip.FileVersionList()), QStringList({"Backup[2].zip", "Backup[3].zip", "Backup[4].zip"}));
    EXPECT_EQ(zip.FileVersionList().back().FileDateTime, now);
    EXPECT_EQ(VersionTexts(StoredVersions(zip)), VersionTexts(zip.FileVersionList()));
}

TEST_F(ZipRunTest, VersionsByAgeExpireAtTheNextRun) {
    TLumo_Zip& zip = MakeZip("Day%D.zip", [](TZip_Settings& s) {
        s.nUseVersions = true;
        s.nItemsVersions = false;
        s.nVersionsValue = 2;
    });
    Run(zip); // 5 March, 10:00
    now += 1.0 / 24;
    Run(zip); // same day, second run
    EXPECT_EQ(NamesIn(Target()), QStringList({"Day05.zip", "Day05[1].zip"}));
    now = EncodeDate(2024, 3, 6) + EncodeTime(9, 0, 0, 0);
    Run(zip);
    EXPECT_EQ(NamesIn(Target()), QStringList({"Day05.zip", "Day05[1].zip", "Day06.zip"}));
    EXPECT_EQ(zip.FVLastIndex(), 0);
    // 7 March 10:30: the first archive is 48.5 hours old, the second 47.5.
    now = EncodeDate(2024, 3, 7) + EncodeTime(10, 30, 0, 0);
    Run(zip);
    EXPECT_EQ(NamesIn(Target()), QStringList({"Day05[1].zip", "Day06.zip", "Day07.zip"}));
    EXPECT_EQ(VersionNames(StoredVersions(zip)), QStringList({"Day05[1].zip", "Day06.zip", "Day07.zip"}));
}

TEST_F(ZipRunTest, TemplateSubfolderIsCreated) {
    REQUIRE_PYTHON();
    TLumo_Zip& zip = MakeZip("%Y/%M/Docs.zip");
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feNone);
    EXPECT_TRUE(ListArchive(Target() + "2024/03/Docs.zip").ok);
    EXPECT_EQ(NamesIn(Target() + "2024/03"), QStringList({"Docs.zip"}));
}

TEST_F(ZipRunTest, WithoutVersionsASecondRunReplacesTheArchive) {
    REQUIRE_PYTHON();
    TLumo_Zip& zip = MakeZip();
    Run(zip);
    sandbox.writeFile("src/added.txt", "new");
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(NamesIn(Target()), QStringList({"Backup.zip"}));
    EXPECT_TRUE(ListArchive(Target() + "Backup.zip").names.contains("added.txt"));
    EXPECT_TRUE(zip.FileVersionList().empty());
}

// The target cannot be replaced: a folder of that name, or a file marked
// read-only (no owner write permission; as root nothing else makes a file
// undeletable here).
TEST_F(ZipRunTest, TargetThatCannotBeReplacedKeepsEverything) {
    for (const bool asFolder : {true, false}) {
        SCOPED_TRACE(asFolder ? "folder" : "read-only file");
        const QString target = Target() + (asFolder ? "Folder.zip" : "ReadOnly.zip");
        if (asFolder) {
            QDir().mkpath(target + "/inside");
        } else {
            sandbox.writeFile(target.mid(sandbox.path().size() + 1), "old archive");
            ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0444), 0);
        }
        const QStringList before = NamesIn(Target());
        TLumo_Zip& zip = MakeZip(QFileInfo(target).fileName());
        Run(zip);
        EXPECT_EQ(zip.LastError(), TLumo_Error::feDeleteTarget);
        EXPECT_EQ(zip.LastActive(), 0);
        EXPECT_EQ(NamesIn(Target()), before);
        if (!asFolder) {
            EXPECT_EQ(sandbox.readFile(target.mid(sandbox.path().size() + 1)), "old archive");
        }
        EXPECT_EQ(zip.LastErrorText(), "Archiving completed with errors: Error deleting destination file.");
    }
}

TEST_F(ZipRunTest, FailedRunKeepsThePreviousVersionsAndIndex) {
    TLumo_Zip& zip = MakeZip("Backup.zip", [](TZip_Settings& s) {
        s.nUseVersions = true;
        s.nVersionsValue = 5;
    });
    Run(zip);
    Run(zip);
    ASSERT_EQ(NamesIn(Target()), QStringList({"Backup.zip", "Backup[1].zip"}));
    const TFileVersionList versions = zip.FileVersionList();
    ASSERT_EQ(VersionTexts(StoredVersions(zip)), VersionTexts(versions));
    ASSERT_EQ(zip.FVLastIndex(), 1);

    // The template now names a subfolder that cannot be made: a file holds its name.
    sandbox.writeFile("out/sub", "a file");
    TZip_Settings s = zip.GetSettings();
    s.nFilename = "sub/Backup.zip";
    zip.ApplyNewSettings(s, false);
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feFolderCreate);
    EXPECT_EQ(zip.FVLastIndex(), 1);
    EXPECT_EQ(zip.FileVersionList(), versions);
    EXPECT_EQ(VersionTexts(StoredVersions(zip)), VersionTexts(versions));
    EXPECT_EQ(NamesIn(Target()), QStringList({"Backup.zip", "Backup[1].zip", "sub"}));
}

TEST_F(ZipRunTest, StopWhileWritingLeavesTheOldStateAndNoTemporaryFile) {
    sandbox.writeFile("src/big.bin", RandomBytes(48 << 20, 7));
    TLumo_Zip& zip = MakeZip("Backup.zip", [](TZip_Settings& s) {
        s.nUseVersions = true;
        s.nCompression = 9;
    });
    sandbox.writeFile("out/Backup.zip", "previous archive");
    TFileVersion previous{now - 1, Target() + "Backup.zip"};
    {
        TZip_Settings s = zip.GetSettings();
        s.nSetFileVerList = true;
        s.nFileVersionList = {previous};
        zip.ApplyNewSettings(s, false);
    }
    bool stopped = false;
    RunServing(zip, [&] {
        if (!stopped && zip.Progress() > 0) {
            stopped = true;
            zip.Profile()->AbortTask();
        }
    });
    ASSERT_TRUE(stopped) << "the run ended before it showed progress";
    EXPECT_EQ(zip.LastError(), TLumo_Error::feCanceledByUser);
    EXPECT_EQ(zip.FVLastIndex(), 0);
    EXPECT_EQ(zip.FileVersionList(), TFileVersionList{previous});
    EXPECT_EQ(zip.LastActive(), 0);
    EXPECT_EQ(NamesIn(Target()), QStringList({"Backup.zip"}));
    EXPECT_EQ(sandbox.readFile("out/Backup.zip"), "previous archive");
    EXPECT_EQ(zip.Operation(), TLumo_Operation::fsNone);
    EXPECT_EQ(zip.Progress(), 0);
}

TEST_F(ZipRunTest, UnreadableFilesAreLeftOutAndNamedInTheError) {
    REQUIRE_PYTHON();
    // Files that cannot be opened for reading whatever the user's rights: a
    // link to nothing and a pipe.
    ASSERT_EQ(::symlink("/nonexistent/target", QFile::encodeName(Source() + "dangling.txt").constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(Source() + "pipe").constData(), 0600), 0);
    TLumo_Zip& zip = MakeZip();
    Run(zip);
    // The archive is written, and the run says what it lacks.
    EXPECT_EQ(zip.LastError(), TLumo_Error::feLeftOut);
    EXPECT_TRUE(zip.LastErrorText().contains(Source() + "dangling.txt")) << zip.LastErrorText().toStdString();
    EXPECT_TRUE(zip.LastErrorText().contains(Source() + "pipe")) << zip.LastErrorText().toStdString();
    EXPECT_EQ(zip.LastActive(), now);
    const ArchiveListing listing = ListArchive(Target() + "Backup.zip");
    ASSERT_TRUE(listing.ok) << listing.message.toStdString();
    EXPECT_EQ(listing.names, QStringList({"report.txt", "sub/", "sub/notes.txt"}));
}

TEST_F(ZipRunTest, TargetInsideTheSourceTakesNoArchivesOrLeftoversAsData) {
    REQUIRE_PYTHON();
    // A killed run left its temporary archive, a segment and a writer file behind.
    for (const char* leftover : {"tmplumozip0.zip", "tmplumozip0.z01", "tmplumozip0.zip.~0123abcd"})
        sandbox.writeFile(QString("src/out/") + leftover, "old bytes");
    sandbox.writeFile("src/out/mine.txt", "the user's own file");
    TLumo_Zip& zip = MakeZip("Backup.zip", [this](TZip_Settings& s) {
        s.nFolder = Source() + "out/";
        s.nUseVersions = true;
        s.nVersionsValue = 5;
    });
    Run(zip);
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feNone) << zip.LastErrorText().toStdString();
    EXPECT_EQ(NamesIn(Source() + "out/"), QStringList({"Backup.zip", "Backup[1].zip", "mine.txt"}));
    const ArchiveListing listing = ListArchive(Source() + "out/Backup[1].zip");
    ASSERT_TRUE(listing.ok) << listing.message.toStdString();
    EXPECT_EQ(listing.names, QStringList({"out/", "out/mine.txt", "report.txt", "sub/", "sub/notes.txt"}));
}

TEST_F(ZipRunTest, MissingItemIsReportedWhileTheOthersAreArchived) {
    REQUIRE_PYTHON();
    TLumo_Zip& zip = MakeZip("Backup.zip", [this](TZip_Settings& s) {
        s.nValueList << "1" << sandbox.path() + "/gone/" << "0" << sandbox.path() + "/gone.txt";
        s.nUseVersions = true;
    });
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feSourceFilesFolder);
    // The text names what is missing.
    EXPECT_EQ(zip.LastErrorText(), "Archiving completed with errors: Source folder not found. " + sandbox.path() +
                                       "/gone/; " + sandbox.path() + "/gone.txt");
    EXPECT_EQ(zip.LastActive(), now);
    EXPECT_EQ(zip.FileVersionList().size(), 1u);
    EXPECT_TRUE(ListArchive(Target() + "Backup.zip").ok);
}

TEST_F(ZipRunTest, NothingToArchiveLeavesTheTargetAndVersionsAlone) {
    sandbox.writeFile("out/Backup.zip", "previous archive");
    TLumo_Zip& zip = MakeZip("Backup.zip", [this](TZip_Settings& s) {
        s.nValueList = QStringList{"1", sandbox.path() + "/gone/"};
    });
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feSourceFilesFolder);
    EXPECT_EQ(zip.LastActive(), 0);
    EXPECT_EQ(NamesIn(Target()), QStringList({"Backup.zip"}));
    EXPECT_EQ(sandbox.readFile("out/Backup.zip"), "previous archive");

    TLumo_Zip& empty = MakeZip("Empty.zip", [](TZip_Settings& s) { s.nValueList.clear(); });
    Run(empty);
    EXPECT_EQ(empty.LastError(), TLumo_Error::feSourceElements);
    EXPECT_EQ(NamesIn(Target()), QStringList({"Backup.zip"}));
}

TEST_F(ZipRunTest, MissingTargetDiskEndsTheRunAtOnce) {
    TLumo_Zip& zip = MakeZip("Backup.zip", [](TZip_Settings& s) { s.nDiskStorageID = "FFFF:0000"; });
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feNoDisk);
    EXPECT_EQ(NamesIn(Target()), QStringList());
}

TEST_F(ZipRunTest, BreakTaskInTheBeforeScriptCancelsTheRun) {
    sandbox.writeFile("marker.txt", "after-script would delete this");
    TLumo_ProfileScript deleteMarker(TActionType::taDeleteFile);
    deleteMarker.AddValue("File", sandbox.path() + "/marker.txt");
    TLumo_Zip& zip = MakeZip();
    zip.Profile()->SetScriptLists({TLumo_ProfileScript(TActionType::taBreakTask)}, {deleteMarker}, false);
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feCanceledByUser);
    EXPECT_EQ(NamesIn(Target()), QStringList());
    EXPECT_TRUE(QFileInfo::exists(sandbox.path() + "/marker.txt"));
}

TEST_F(ZipRunTest, AfterScriptRunsAlsoWhenTheRunFailed) {
    sandbox.writeFile("marker.txt", "x");
    TLumo_ProfileScript deleteMarker(TActionType::taDeleteFile);
    deleteMarker.AddValue("File", sandbox.path() + "/marker.txt");
    TLumo_Zip& zip = MakeZip("Backup.zip", [](TZip_Settings& s) { s.nValueList.clear(); });
    zip.Profile()->SetScriptLists({}, {deleteMarker}, false);
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feSourceElements);
    EXPECT_FALSE(QFileInfo::exists(sandbox.path() + "/marker.txt"));
}

} // namespace

namespace {

TEST_F(ZipRunTest, SplitArchiveReplacesALargerOldSetWithLowerCaseSegments) {
    // Three files, so that no entry spreads over three segments: Info-ZIP's
    // join, the oracle below, mishandles such an entry.
    for (unsigned i = 1; i <= 3; ++i)
        sandbox.writeFile(QStringLiteral("src/big%1.bin").arg(i), RandomBytes(7 << 20, i));
    for (const char* old : {"out/Backup.z01", "out/Backup.z02", "out/Backup.z03", "out/Backup.zip"})
        sandbox.writeFile(old, "old set");
    TLumo_Zip& zip = MakeZip("Backup.zip", [](TZip_Settings& s) {
        s.nSpanEn = true;
        s.nSpanValue = 10;
        s.nCompression = 0;
    });
    Run(zip);
    ASSERT_EQ(zip.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(NamesIn(Target()), QStringList({"Backup.z01", "Backup.z02", "Backup.zip"}));
    EXPECT_EQ(QFileInfo(Target() + "Backup.z01").size(), 10 << 20);
    EXPECT_EQ(QFileInfo(Target() + "Backup.z02").size(), 10 << 20);
    if (!HasTool("zip") || !HasTool("python3"))
        GTEST_SKIP() << "Info-ZIP zip or python3 is not installed";
    const QString joined = sandbox.path() + "/joined.zip";
    ASSERT_TRUE(JoinSplitArchive(Target() + "Backup.zip", joined));
    const ArchiveListing listing = ListArchive(joined);
    ASSERT_TRUE(listing.ok) << listing.message.toStdString();
    EXPECT_EQ(listing.names, QStringList({"big1.bin", "big2.bin", "big3.bin", "report.txt", "sub/", "sub/notes.txt"}));
}

} // namespace
