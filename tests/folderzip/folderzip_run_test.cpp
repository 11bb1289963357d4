#include "folderzip_run_support.h"

#include "archive_test_support.h"

#include "deep_tree.h"

#include "app/settings_loader.h"
#include "profiles/task_queue.h"
#include "profiles/backup_profile.h"
#include "scripts/script_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList kThree{"Alpha", "Beta", "Gamma"};

// The states of the saved section by subfolder name: "d c z s" (time, file
// count, total size, segments), each key that is missing as "-".
QMap<QString, QString> StatesByName(const QStringList& lines) {
    QMap<QString, QString> byIndex;
    for (const QString& line : lines)
        byIndex[line.section('=', 0, 0)] = line.section('=', 1);
    QMap<QString, QString> byName;
    for (int i = 1; byIndex.contains(QStringLiteral("n_%1").arg(i)); ++i) {
        const auto value = [&](const char* key) { return byIndex.value(QStringLiteral("%1_%2").arg(key).arg(i), "-"); };
        byName[value("n")] = value("d") + " " + value("c") + " " + value("z") + " " + value("s");
    }
    return byName;
}

class FolderZipRun : public FolderZipRunTest {
protected:
    FolderZipRun() {
        WriteSource("Alpha/a.txt", "alpha");
        WriteSource("Alpha/Projects/2024/report.odt", QByteArray(2000, 'r'));
        WriteSource("Alpha/Projects/2024/notes.txt", "notes");
        WriteSource("Beta/b.bin", QByteArray::fromStdString(archive_test::RandomBytes(50000, 7)));
        WriteSource("Beta/sub/x.txt", "x");
        WriteSource("Gamma/g.txt", "gamma");
        QDir().mkpath(Source() + "Gamma/empty");
        WriteSource("top.txt", "a file of the source itself is no subfolder");
        AgeSourceTree();
    }

    QStringList Archives() const {
        QStringList names;
        for (const QString& name : NamesIn(Storage()))
            names << name;
        return names;
    }
};

TEST_F(FolderZipRun, FirstRunArchivesEverySubfolderAndStoresItsState) {
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();
    EXPECT_NE(fz.LastActive(), 0);
    EXPECT_EQ(fz.Operation(), TLumo_Operation::fsNone);
    EXPECT_EQ(Archives(), QStringList({"Alpha.zip", "Beta.zip", "Gamma.zip"}));
    for (const QString& name : kThree)
        EXPECT_EQ(CheckArchive(name), "") << name.toStdString();
    for (const auto& element : fz.Elements())
        EXPECT_EQ(element->pZipState, TLumo_FileStatus::flsOk) << element->pFolder.toStdString();

    // Each subfolder's newest time below it (every entry was set to this
    // moment), its file count and total size; no segment counts without splitting.
    const QMap<QString, QString> states = StatesByName(StoredStates(fz));
    EXPECT_EQ(states.value("Alpha"), "20240102030405 3 2010 -");
    EXPECT_EQ(states.value("Beta"), "20240102030405 2 50001 -");
    EXPECT_EQ(states.value("Gamma"), "20240102030405 1 5 -");
    EXPECT_EQ(states.size(), 3);
}

TEST_F(FolderZipRun, RunWithNothingChangedArchivesNothingAlsoAfterAReload) {
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    const QStringList before = Identities(kThree);
    Run(fz);
    EXPECT_EQ(fz.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(Identities(kThree), before);

    ctx->Saver().RunSaveAndWait();
    const QString uid = fz.UID();
    ctx.reset();
    ctx = NewContext();
    LoadAllSettings(*ctx);
    TLumo_BackupProfile* profile = ctx->FindProfileByUID(uid);
    ASSERT_NE(profile, nullptr);
    Run(*profile->FolderZip(), true);
    EXPECT_EQ(profile->FolderZip()->LastScanUpdated(), 0);
    EXPECT_EQ(profile->FolderZip()->ScanResultText(), "There are no changes, no backup required.");
    Run(*profile->FolderZip());
    EXPECT_EQ(profile->FolderZip()->LastError(), TLumo_Error::feNone);
    EXPECT_EQ(Identities(kThree), before);
}

// What happens to Alpha below its top folder; only Alpha is archived again.
struct DeepChange {
    const char* what;
    std::function<void(const QString& source)> change;
};

void PrintTo(const DeepChange& c, std::ostream* os) { *os << c.what; }

class FolderZipDeepChange : public FolderZipRun, public ::testing::WithParamInterface<DeepChange> {};

TEST_P(FolderZipDeepChange, OnlyTheChangedSubfolderIsArchivedAgain) {
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    const QStringList before = Identities(kThree);
    GetParam().change(Source());
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();
    const QStringList after = Identities(kThree);
    EXPECT_NE(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[2], before[2]);
    EXPECT_EQ(CheckArchive("Alpha"), "");
    // And the run after that finds nothing new.
    Run(fz);
    EXPECT_EQ(Identities(kThree), after);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FolderZipDeepChange,
    ::testing::Values(
        DeepChange{"EditedInPlaceTwoLevelsDown",
                   [](const QString& source) {
                       // Same size, and the folders' own times do not move.
                       QFile file(source + "Alpha/Projects/2024/report.odt");
                       ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                       file.write("edited");
                   }},
        DeepChange{"DeletedDeepInside",
                   [](const QString& source) { ASSERT_TRUE(QFile::remove(source + "Alpha/Projects/2024/notes.txt")); }},
        DeepChange{"GrewButKeptItsOldTime",
                   [](const QString& source) {
                       // Only the size tells: the file keeps the old time.
                       const QString path = source + "Alpha/Projects/2024/notes.txt";
                       QFile file(path);
                       ASSERT_TRUE(file.open(QIODevice::Append));
                       file.write(" and more");
                       file.close();
                       archive_test::SetLocalModificationTime(QFile::encodeName(path).toStdString(), 2024, 1, 2,
                                                              3, 4, 5);
                   }},
        DeepChange{"NewFileDeepInside",
                   [](const QString& source) {
                       QFile file(source + "Alpha/Projects/2024/new.txt");
                       ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                       file.write("new");
                   }}),
    [](const ::testing::TestParamInfo<DeepChange>& info) { return std::string(info.param.what); });

TEST_F(FolderZipRun, NewSubfolderGetsItsFirstArchiveAndTheOthersStay) {
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    const QStringList before = Identities(kThree);
    WriteSource("Delta/d.txt", "delta");
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(Identities(kThree), before);
    EXPECT_EQ(CheckArchive("Delta"), "");
    ASSERT_NE(fz.FindElement("delta"), nullptr);
    EXPECT_EQ(fz.FindElement("delta")->pZipState, TLumo_FileStatus::flsOk);
}

// Whether a removed subfolder's archive goes with cleaning on or off, and
// what cleaning does to other files of the storage folder.
struct CleaningCase {
    const char* what;
    bool clean;
    bool toTrash;
};

void PrintTo(const CleaningCase& c, std::ostream* os) { *os << c.what; }

class FolderZipCleaning : public FolderZipRun, public ::testing::WithParamInterface<CleaningCase> {};

TEST_P(FolderZipCleaning, RemovedSubfolderIsDroppedAndItsArchiveCleanedOnlyWhenAsked) {
    const CleaningCase& c = GetParam();
    TLumo_FolderZip& fz = MakeProfile([&](TFolderZip_Settings& s) {
        s.nCleanFolder = c.clean;
        s.nDeleteToRecycle = c.toTrash;
    });
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    sandbox.writeFile("out/notes.txt", "stray");
    sandbox.writeFile("out/.hidden", "stray");
    QDir().mkpath(Storage() + "stray folder/inner");
    ASSERT_TRUE(QDir(Source() + "Gamma").removeRecursively());

    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();
    EXPECT_EQ(fz.FindElement("Gamma"), nullptr);
    EXPECT_FALSE(StatesByName(StoredStates(fz)).contains("Gamma"));
    if (c.clean)
        EXPECT_EQ(NamesIn(Storage()), QStringList({"Alpha.zip", "Beta.zip"}));
    else
        EXPECT_EQ(NamesIn(Storage()),
                  QStringList({".hidden", "Alpha.zip", "Beta.zip", "Gamma.zip", "notes.txt", "stray folder"}));
    const QStringList trashed = NamesIn(sandbox.path() + "/home/.local/share/Trash/files");
    if (c.clean && c.toTrash)
        EXPECT_EQ(trashed, QStringList({".hidden", "Gamma.zip", "notes.txt", "stray folder"}));
    else
        EXPECT_TRUE(trashed.isEmpty()) << trashed.join(',').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Modes, FolderZipCleaning,
                         ::testing::Values(CleaningCase{"CleaningOff", false, true},
                                           CleaningCase{"CleaningToTrash", true, true},
                                           CleaningCase{"CleaningForGood", true, false}),
                         [](const ::testing::TestParamInfo<CleaningCase>& info) {
                             return std::string(info.param.what);
                         });

TEST_F(FolderZipRun, ForcedRunArchivesExactlyTheNamedSubfolders) {
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    const QStringList before = Identities(kThree);
    ASSERT_TRUE(QDir(Source() + "Beta").removeRecursively());
    Run(fz, false, QStringList{"ALPHA", "GAMMA"});
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();
    const QStringList after = Identities(kThree);
    EXPECT_NE(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_NE(after[2], before[2]);
    // The forced run neither drops nor marks the subfolder it was not given.
    ASSERT_NE(fz.FindElement("Beta"), nullptr);
    EXPECT_EQ(fz.FindElement("Beta")->pZipState, TLumo_FileStatus::flsOk);
    EXPECT_EQ(fz.LastScanUpdated(), 2);
}

TEST_F(FolderZipRun, ExcludedSubfoldersAndFilesStayOut) {
    TLumo_FolderZip& fz = MakeProfile([](TFolderZip_Settings& s) {
        s.nExcludeFolderList = {"beta"};
        s.nExcludeList = {"*.odt"};
    });
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(NamesIn(Storage()), QStringList({"Alpha.zip", "Gamma.zip"}));
    EXPECT_EQ(fz.FindElement("Beta"), nullptr);
    const archive_test::PyListing listing = archive_test::ListWithPython((Storage() + "Alpha.zip").toStdString());
    ASSERT_TRUE(listing.ok) << listing.message;
    QStringList names;
    for (const auto& entry : listing.entries)
        names << QString::fromStdString(entry.name);
    names.sort();
    EXPECT_EQ(names, QStringList({"Alpha/Projects/", "Alpha/Projects/2024/", "Alpha/Projects/2024/notes.txt",
                                  "Alpha/a.txt"}));
    // A change in an excluded file is no change.
    QFile file(Source() + "Alpha/Projects/2024/report.odt");
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write("edited");
    file.close();
    const QStringList before = Identities({"Alpha"});
    Run(fz);
    EXPECT_EQ(Identities({"Alpha"}), before);
}

TEST_F(FolderZipRun, AnalysisOnlyCountsTheChangesAndChangesNothing) {
    TLumo_FolderZip& fz = MakeProfile([](TFolderZip_Settings& s) { s.nCleanFolder = true; });
    sandbox.writeFile("out/notes.txt", "stray");
    Run(fz, true);
    EXPECT_EQ(fz.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(fz.LastScanUpdated(), 3);
    EXPECT_EQ(fz.ScanResultText(), "Number of folders changed: 3.");
    EXPECT_EQ(fz.LastActive(), 0);
    EXPECT_EQ(NamesIn(Storage()), QStringList({"notes.txt"}));
    for (const auto& element : fz.Elements())
        EXPECT_EQ(element->pZipState, TLumo_FileStatus::flsModified);
    for (const TSaveTask& request : Requests())
        EXPECT_NE(request.fType, TSaveSetType::stZipFileversion);
}

TEST_F(FolderZipRun, StopDuringTheSecondArchiveKeepsThePreviousArchives) {
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    const QStringList before = Identities(kThree);
    // Enough to take a while to compress, in every subfolder.
    for (const QString& name : kThree)
        WriteSource(name + "/big.bin",
                    QByteArray::fromStdString(archive_test::RandomBytes(24 * 1024 * 1024, name.size())));

    sandbox.writeFile("marker.txt", "the after-script would delete this");
    TLumo_ProfileScript deleteMarker(TActionType::taDeleteFile);
    deleteMarker.AddValue("File", sandbox.path() + "/marker.txt");
    fz.Profile()->SetScriptLists({}, {deleteMarker}, false);

    QStringList started;
    bool stopped = false;
    Run(fz, false, std::nullopt, [&] {
        for (const auto& element : fz.Elements())
            if (element->pOperation == TLumo_Operation::fsZip && !started.contains(element->pFolder))
                started << element->pFolder;
        if (started.size() == 2 && !stopped) {
            stopped = true;
            ctx->TaskQueue().AbortTask(*fz.Profile());
        }
    });
    ASSERT_TRUE(stopped) << "the run ended before its second archive";
    EXPECT_EQ(fz.LastError(), TLumo_Error::feCanceledByUser);
    EXPECT_TRUE(QFileInfo::exists(sandbox.path() + "/marker.txt"));
    const QStringList after = Identities(kThree);
    for (int i = 0; i < 3; ++i) {
        const bool first = kThree[i] == started[0];
        if (first) {
            EXPECT_NE(after[i], before[i]);
            EXPECT_EQ(CheckArchive(kThree[i]), "");
        } else {
            EXPECT_EQ(after[i], before[i]) << kThree[i].toStdString();
        }
    }
    EXPECT_EQ(NamesIn(Storage()), QStringList({"Alpha.zip", "Beta.zip", "Gamma.zip"}));
    // What was not archived is archived by the next run.
    Run(fz);
    EXPECT_EQ(fz.LastError(), TLumo_Error::feNone);
    for (const QString& name : kThree)
        EXPECT_EQ(CheckArchive(name), "") << name.toStdString();
}

TEST_F(FolderZipRun, SplitArchivesKeepTheirSegmentsAndCountThem) {
    TLumo_FolderZip& fz = MakeProfile([](TFolderZip_Settings& s) {
        s.nSpanningEnabled = true;
        s.nSpanningSizeValue = 10;
        s.nCleanFolder = true;
    });
    WriteSource("Big/data.bin", QByteArray::fromStdString(archive_test::RandomBytes(25 * 1024 * 1024, 3)));
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();
    EXPECT_EQ(NamesIn(Storage()),
              QStringList({"Alpha.zip", "Beta.zip", "Big.z01", "Big.z02", "Big.zip", "Gamma.zip"}));
    ASSERT_NE(fz.FindElement("Big"), nullptr);
    EXPECT_EQ(fz.FindElement("Big")->pSpanCount, 2);
    EXPECT_TRUE(StatesByName(StoredStates(fz)).value("Big").endsWith(" 2"));
    if (archive_test::SevenZipTool().empty())
        GTEST_SKIP() << "7-Zip is not installed";
    EXPECT_EQ(CheckArchive("Big", QString(), true), "");
}

TEST_F(FolderZipRun, PasswordProtectedArchivesOpenWithThePassword) {
    TLumo_FolderZip& fz = MakeProfile([](TFolderZip_Settings& s) {
        s.nPassword = "s3cret";
        s.nPasswordModified = true;
    });
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    for (const QString& name : kThree)
        EXPECT_EQ(CheckArchive(name, "s3cret"), "") << name.toStdString();
    const archive_test::PyListing listing = archive_test::ListWithPython((Storage() + "Beta.zip").toStdString());
    EXPECT_FALSE(listing.ok);
}

TEST_F(FolderZipRun, OddNamesAndLinksArchiveAsTheirContent) {
    WriteSource(QString::fromUtf8("Odd name \xC3\xBC/ leading space.txt"), "1");
    WriteSource(QString::fromUtf8("Odd name \xC3\xBC/#%&;'\".txt"), "2");
    WriteSource(QString::fromUtf8("Odd name \xC3\xBC/\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82/x.txt"), "3");
    ASSERT_EQ(::symlink("../Alpha/a.txt", QFile::encodeName(Source() + QString::fromUtf8("Odd name \xC3\xBC/link.txt"))
                                               .constData()),
              0);
    // A link in the source folder is no subfolder of it.
    ASSERT_EQ(::symlink("Alpha", QFile::encodeName(Source() + "AlphaLink").constData()), 0);
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();
    EXPECT_EQ(CheckArchive(QString::fromUtf8("Odd name \xC3\xBC")), "");
    EXPECT_FALSE(QFile::exists(Storage() + "AlphaLink.zip"));
}

TEST_F(FolderZipRun, AnEmptySubfolderGetsAnArchiveOfItsName) {
    QDir().mkpath(Source() + "Empty");
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();
    const archive_test::PyListing listing = archive_test::ListWithPython((Storage() + "Empty.zip").toStdString());
    EXPECT_TRUE(listing.ok) << listing.message;
    const QStringList before = Identities({"Empty"});
    Run(fz);
    EXPECT_EQ(Identities({"Empty"}), before);
}

TEST_F(FolderZipRun, ASecondSubfolderOfTheSameNameButForCaseIsAnErrorThatNamesIt) {
    WriteSource("ALPHA/other.txt", "other");
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    EXPECT_EQ(fz.LastError(), TLumo_Error::feArchiving);
    EXPECT_EQ(fz.Elements().size(), 3u);
    // Whichever the listing gave first is archived; the other one is named.
    const bool upperFirst = QFileInfo::exists(Storage() + "ALPHA.zip");
    EXPECT_NE(QFileInfo::exists(Storage() + "Alpha.zip"), upperFirst);
    EXPECT_TRUE(fz.LastErrorText().contains(Source() + (upperFirst ? "Alpha" : "ALPHA")))
        << fz.LastErrorText().toStdString();
    EXPECT_EQ(CheckArchive("Beta"), "");
}

TEST_F(FolderZipRun, OverlappingFoldersAreRefusedBeforeAnyWork) {
    TLumo_FolderZip& fz = MakeProfile([this](TFolderZip_Settings& s) {
        s.nSaveToFolder = Source() + "Alpha/archives/";
        s.nCleanFolder = true;
    });
    Run(fz);
    EXPECT_EQ(fz.LastError(), TLumo_Error::feOverlappingFolders);
    EXPECT_FALSE(QFile::exists(Source() + "Alpha/archives"));
    EXPECT_TRUE(fz.Elements().empty());
}

TEST_F(FolderZipRun, MissingSourceIsAnErrorAndNothingIsDropped) {
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    ASSERT_EQ(::rename(QFile::encodeName(Source().chopped(1)).constData(),
                       QFile::encodeName(sandbox.file("moved")).constData()),
              0);
    Run(fz);
    EXPECT_EQ(fz.LastError(), TLumo_Error::feNoZipFolder);
    EXPECT_EQ(fz.Elements().size(), 3u);
    EXPECT_EQ(NamesIn(Storage()), QStringList({"Alpha.zip", "Beta.zip", "Gamma.zip"}));
}

// Which scripts a run carries out: before and after a normal run, none in
// an analysis, and a stop asked for by a before-script ends the run there.
struct ScriptCase {
    const char* what;
    bool onlyScan;
    bool breakBefore;
    bool archives;
    bool afterRuns;
};

void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.what; }

class FolderZipScripts : public FolderZipRun, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(FolderZipScripts, ScriptsRunAroundANormalRunOnly) {
    const ScriptCase& c = GetParam();
    sandbox.writeFile("before.txt", "x");
    sandbox.writeFile("after.txt", "x");
    TLumo_ProfileScript deleteBefore(TActionType::taDeleteFile);
    deleteBefore.AddValue("File", sandbox.path() + "/before.txt");
    TLumo_ProfileScript deleteAfter(TActionType::taDeleteFile);
    deleteAfter.AddValue("File", sandbox.path() + "/after.txt");
    TLumo_FolderZip& fz = MakeProfile();
    std::vector<TLumo_ProfileScript> before{deleteBefore};
    if (c.breakBefore)
        before.push_back(TLumo_ProfileScript(TActionType::taBreakTask));
    fz.Profile()->SetScriptLists(before, {deleteAfter}, false);
    Run(fz, c.onlyScan);
    EXPECT_EQ(QFileInfo::exists(sandbox.path() + "/before.txt"), c.onlyScan);
    EXPECT_EQ(QFileInfo::exists(sandbox.path() + "/after.txt"), !c.afterRuns);
    EXPECT_EQ(QFileInfo::exists(Storage() + "Alpha.zip"), c.archives);
    EXPECT_EQ(fz.LastError(), c.breakBefore ? TLumo_Error::feCanceledByUser : TLumo_Error::feNone);
}

INSTANTIATE_TEST_SUITE_P(Runs, FolderZipScripts,
                         ::testing::Values(ScriptCase{"NormalRun", false, false, true, true},
                                           ScriptCase{"AnalysisOnly", true, false, false, false},
                                           ScriptCase{"BreakInTheBeforeScript", false, true, false, false}),
                         [](const ::testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.what); });

TEST_F(FolderZipRun, PathsDeeperThanOneSystemCallTakesAreArchivedAndMeasured) {
    QDir().mkpath(Source() + "Deep");
    const QString chain = MakeDeepChain(Source() + "Deep/", std::string(200, 'q'), 22);
    ASSERT_FALSE(chain.isEmpty());
    ASSERT_TRUE(WriteDeepFile(Source() + "Deep/", chain.toStdString() + "/f.txt", "deep content"));
    struct Cleanup {
        QString root;
        ~Cleanup() { RemoveDeepContent(root); }
    } cleanup{sandbox.path()};
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();
    const archive_test::PyListing listing = archive_test::ListWithPython((Storage() + "Deep.zip").toStdString());
    ASSERT_TRUE(listing.ok) << listing.message;
    bool found = false;
    for (const auto& entry : listing.entries)
        found = found || entry.name == ("Deep/" + chain + "/f.txt").toStdString();
    EXPECT_TRUE(found);
    ASSERT_NE(fz.FindElement("Deep"), nullptr);
    EXPECT_EQ(fz.FindElement("Deep")->pFileCount, 1);
    EXPECT_EQ(fz.FindElement("Deep")->pTotalSize, 12);
    const QStringList before = Identities({"Deep"});
    Run(fz);
    EXPECT_EQ(Identities({"Deep"}), before);
}

} // namespace
