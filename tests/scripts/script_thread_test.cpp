#include "app/app_context.h"
#include "os/trash.h"
#include "profiles/backup_profile.h"
#include "qt_app.h"
#include "scripts/script_actions.h"
#include "scripts/script_thread.h"
#include "sync/sync_task.h"
#include "test_env.h"
#include "util/main_thread.h"
#include "util/trash.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

namespace {

using Params = std::vector<std::pair<const char*, QString>>;

TLumo_ProfileScript Action(TActionType type, const Params& params = {}) {
    TLumo_ProfileScript action(type);
    for (const auto& [name, value] : params)
        action.AddValue(QLatin1String(name), value);
    return action;
}

TLumo_ProfileScript DeleteFile(const QString& path, const char* toRecycle = "0") {
    return Action(TActionType::taDeleteFile, {{"File", path}, {"ToRecycle", QLatin1String(toRecycle)}});
}

TLumo_ProfileScript DeleteFolder(const QString& path, const char* toRecycle = "0") {
    return Action(TActionType::taDeleteFolder, {{"Folder", path}, {"ToRecycle", QLatin1String(toRecycle)}});
}

TLumo_ProfileScript PauseOf(const QString& seconds) { return Action(TActionType::taPause, {{"Pause", seconds}}); }

// Runs the list to its end, serving the main thread meanwhile; true when it broke the task.
bool RunList(const TLumo_ScriptList& list) {
    TScriptThread script(list);
    script.start();
    ServeMainThreadWhile([&] { return script.isRunning(); });
    return script.TaskBroken();
}

bool WaitForFile(const QString& path, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(path)) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(10);
    }
    return true;
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

class ScriptThread : public ::testing::Test {
protected:
    bool fQtApp = (EnsureQtApp(), true);
    TestSandbox sandbox;

    QString Touch(const QString& relative) {
        sandbox.writeFile(relative, "x");
        return sandbox.file(relative);
    }
    QString TrashFiles() const { return sandbox.file("home/.local/share/Trash/files"); }
};

// A copy of the system shell under a name of its own that waits on its input,
// so the process table shows exactly this program while the test runs.
class RunningProgram {
public:
    explicit RunningProgram(const QString& path) : fPath(path) {
        if (!QFile::copy(QFileInfo(QStringLiteral("/bin/sh")).canonicalFilePath(), fPath))
            return;
        fProcess.start(fPath, {QStringLiteral("-c"), QStringLiteral("read line")});
        fProcess.waitForStarted();
    }
    ~RunningProgram() {
        fProcess.kill();
        fProcess.waitForFinished();
    }
    bool IsRunning() const { return fProcess.state() == QProcess::Running; }
    const QString& Path() const { return fPath; }

private:
    QString fPath;
    QProcess fProcess;
};

TEST(ScriptPause, SecondsAreReadLeniently) {
    const struct {
        QStringList lines;
        qint64 seconds;
    } cases[] = {
        {{"Pause=30"}, 30},     {{"Pause=1,5"}, 15},    {{"Pause= 7 "}, 7},      {{"Pause=-3"}, -3},
        {{"Pause=abc"}, 0},     {{}, 0},                {{" Pause=5"}, 0},       {{"Pauses=9", "Pause=2"}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.join('|').toStdString());
        TLumo_ProfileScript pause(TActionType::taPause);
        pause.fValues = c.lines;
        EXPECT_EQ(PauseSeconds(pause), c.seconds);
    }
}

TEST_F(ScriptThread, AStopEndsALongPauseAtOnceAndSkipsTheRest) {
    const QString marker = Touch("marker");
    TScriptThread script(TLumo_ScriptList{PauseOf("30"), DeleteFile(marker)});
    script.start();
    QThread::msleep(200);
    ASSERT_TRUE(script.isRunning()) << "the pause should still be waiting";
    QElapsedTimer timer;
    timer.start();
    script.AbortIt();
    ASSERT_TRUE(script.wait(5000));
    // Generous bound: the stop must wake the pause, not let it run its 30 s.
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_FALSE(script.TaskBroken());
}

TEST_F(ScriptThread, APauseWaitsItsSecondsBeforeTheNextAction) {
    const QString marker = Touch("marker");
    QElapsedTimer timer;
    timer.start();
    RunList({PauseOf("1"), DeleteFile(marker)});
    EXPECT_GE(timer.elapsed(), 1000);
    EXPECT_FALSE(QFile::exists(marker));
}

TEST_F(ScriptThread, AStopBeforeTheStartRunsNoAction) {
    const QString marker = Touch("marker");
    TScriptThread script(TLumo_ScriptList{DeleteFile(marker)});
    script.AbortIt();
    script.start();
    ASSERT_TRUE(script.wait(5000));
    EXPECT_TRUE(QFile::exists(marker));
}

TEST_F(ScriptThread, ExecuteStartsAProgramWithItsCommandLineInItsFolder) {
    QDir().mkpath(sandbox.file("work"));
    RunList({Action(TActionType::taExecute, {{"File", " /bin/sh\t"},
                                             {"Cmd", "-c \"touch 'started here'\""},
                                             {"Folder", sandbox.file("work")}})});
    EXPECT_TRUE(WaitForFile(sandbox.file("work/started here")));
}

TEST_F(ScriptThread, ExecuteOfAMissingFileStartsNothing) {
    // The program named in Cmd would leave the marker if anything were started.
    const QString missing = sandbox.file("no-such-program");
    RunList({Action(TActionType::taExecute,
                    {{"File", missing}, {"Cmd", "-c \"touch missing\""}, {"Folder", sandbox.path()}}),
             Action(TActionType::taExecute,
                    {{"File", "/bin/sh"}, {"Cmd", "-c \"touch done\""}, {"Folder", sandbox.path()}})});
    ASSERT_TRUE(WaitForFile(sandbox.file("done")));
    EXPECT_FALSE(QFile::exists(sandbox.file("missing")));
}

TEST_F(ScriptThread, OnlyOneAppDoesNotStartARunningProgramAgain) {
    RunningProgram program(sandbox.file("nvscript_app"));
    ASSERT_TRUE(program.IsRunning());
    const auto start = [&](const char* marker, bool onlyOne) {
        Params params{{"File", program.Path()},
                      {"Cmd", QStringLiteral("-c \"touch %1\"").arg(QLatin1String(marker))},
                      {"Folder", sandbox.path()}};
        if (onlyOne)
            params.emplace_back("OnlyOneApp", "True");
        return Action(TActionType::taExecute, params);
    };
    RunList({start("refused", true), start("allowed", false)});
    ASSERT_TRUE(WaitForFile(sandbox.file("allowed")));
    QThread::msleep(200);
    EXPECT_FALSE(QFile::exists(sandbox.file("refused")));
}

TEST_F(ScriptThread, OnlyOneAppStartsAProgramThatIsNotRunning) {
    const QString copy = sandbox.file("nvscript_idle");
    ASSERT_TRUE(QFile::copy(QFileInfo("/bin/sh").canonicalFilePath(), copy));
    RunList({Action(TActionType::taExecute, {{"File", copy},
                                             {"Cmd", "-c \"touch started\""},
                                             {"Folder", sandbox.path()},
                                             {"OnlyOneApp", "True"}})});
    EXPECT_TRUE(WaitForFile(sandbox.file("started")));
}

TEST_F(ScriptThread, DeleteFileForGoodOrToTheTrash) {
    const struct {
        const char* toRecycle;
        bool inTrash;
    } cases[] = {{"0", false}, {"1", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.toRecycle);
        QDir(TrashFiles()).removeRecursively();
        const QString file = Touch("work/doc.txt");
        RunList({DeleteFile(file, c.toRecycle)});
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_EQ(QFile::exists(TrashFiles() + "/doc.txt"), c.inTrash);
    }
}

TEST_F(ScriptThread, DeleteFileLeavesFoldersAndMissingPathsAlone) {
    QDir().mkpath(sandbox.file("work/folder"));
    RunList({DeleteFile(sandbox.file("work/folder"), "0"), DeleteFile(sandbox.file("work/folder"), "1"),
             DeleteFile(sandbox.file("work/missing"), "1"), DeleteFile("", "0")});
    EXPECT_TRUE(QFileInfo(sandbox.file("work/folder")).isDir());
    EXPECT_TRUE(Entries(TrashFiles()).isEmpty());
}

TEST_F(ScriptThread, DeleteFolderForGoodTakesOnlyAnEmptyFolder) {
    QDir().mkpath(sandbox.file("work/empty"));
    Touch("work/full/keep.txt");
    RunList({DeleteFolder(sandbox.file("work/empty/")), DeleteFolder(sandbox.file("work/full"))});
    EXPECT_FALSE(QFileInfo::exists(sandbox.file("work/empty")));
    EXPECT_TRUE(QFile::exists(sandbox.file("work/full/keep.txt")));
    EXPECT_TRUE(Entries(TrashFiles()).isEmpty());
}

TEST_F(ScriptThread, DeleteFolderToTheTrashTakesItsContent) {
    Touch("work/full/sub/keep.txt");
    RunList({DeleteFolder(sandbox.file("work/full/"), "1")});
    EXPECT_FALSE(QFileInfo::exists(sandbox.file("work/full")));
    EXPECT_TRUE(QFile::exists(TrashFiles() + "/full/sub/keep.txt"));
}

TEST_F(ScriptThread, EmptyRecycleBinEmptiesTheTrash) {
    if (os::TrashFolders().size() != 1)
        GTEST_SKIP() << "this user has volume trash folders outside the sandbox; emptying would touch them";
    const QString file = Touch("work/old.txt");
    ASSERT_TRUE(MoveToTrash(file));
    ASSERT_FALSE(Entries(TrashFiles()).isEmpty());
    RunList({Action(TActionType::taEmptyRecycleBin)});
    EXPECT_TRUE(Entries(TrashFiles()).isEmpty());
    EXPECT_TRUE(Entries(sandbox.file("home/.local/share/Trash/info")).isEmpty());
}

enum class Branch { Yes, No, Neither };

struct ConditionCase {
    const char* label;
    TActionType type;
    const char* name;
    QString value;
    Branch expected;
};

// The yes branch deletes one flag file and the no branch the other, so the
// flag left over tells which branch ran.
class ScriptConditions : public ScriptThread {
protected:
    void Check(const std::vector<ConditionCase>& cases) {
        for (const ConditionCase& c : cases) {
            SCOPED_TRACE(c.label);
            const QString yes = Touch("flags/yes");
            const QString no = Touch("flags/no");
            TLumo_ProfileScript condition(c.type);
            condition.AddValue(QLatin1String(c.name), c.value);
            condition.fIfYesList.push_back(DeleteFile(yes));
            condition.fIfNoList.push_back(DeleteFile(no));
            RunList({condition});
            EXPECT_EQ(!QFile::exists(yes), c.expected == Branch::Yes);
            EXPECT_EQ(!QFile::exists(no), c.expected == Branch::No);
        }
    }
};

TEST_F(ScriptConditions, FileAndFolderExist) {
    const QString file = Touch("data/file.txt");
    const QString folder = sandbox.file("data");
    Check({
        {"existing file", TActionType::taIfFileExists, "File", file, Branch::Yes},
        {"blanks around the path", TActionType::taIfFileExists, "File", " " + file + "\t", Branch::Yes},
        {"missing file", TActionType::taIfFileExists, "File", file + ".gone", Branch::No},
        {"a folder is no file", TActionType::taIfFileExists, "File", folder, Branch::No},
        {"relative file path", TActionType::taIfFileExists, "File", "data/file.txt", Branch::No},
        {"empty file path", TActionType::taIfFileExists, "File", "", Branch::No},
        {"existing folder", TActionType::taIfFolderExists, "Folder", folder + "/", Branch::Yes},
        {"missing folder", TActionType::taIfFolderExists, "Folder", folder + "/gone/", Branch::No},
        {"a file is no folder", TActionType::taIfFolderExists, "Folder", file, Branch::No},
        {"empty folder path", TActionType::taIfFolderExists, "Folder", "", Branch::No},
    });
}

TEST_F(ScriptConditions, DriveNamesAMountedVolume) {
    Check({
        {"root volume", TActionType::taIfDriveExists, "Drive", "/", Branch::Yes},
        {"proc volume with blanks", TActionType::taIfDriveExists, "Drive", " /proc ", Branch::Yes},
        {"a folder that is no mount point", TActionType::taIfDriveExists, "Drive", sandbox.path(), Branch::No},
        {"missing mount point", TActionType::taIfDriveExists, "Drive", "/nvscript-no-such-mount", Branch::No},
        {"empty drive", TActionType::taIfDriveExists, "Drive", "", Branch::Neither},
        {"a drive letter", TActionType::taIfDriveExists, "Drive", "C", Branch::Neither},
        {"relative path", TActionType::taIfDriveExists, "Drive", "proc", Branch::Neither},
    });
}

TEST_F(ScriptConditions, AppAndProcessRunning) {
    RunningProgram program(sandbox.file("nvscript_cond"));
    ASSERT_TRUE(program.IsRunning());
    Check({
        {"running program", TActionType::taIfAppRunning, "App", program.Path(), Branch::Yes},
        {"other letter case", TActionType::taIfAppRunning, "App", program.Path().toUpper(), Branch::Yes},
        {"program not running", TActionType::taIfAppRunning, "App", sandbox.file("nvscript_none"), Branch::No},
        {"empty program", TActionType::taIfAppRunning, "App", "", Branch::No},
        {"running process", TActionType::taIfProcessRunning, "Process", "nvscript_cond", Branch::Yes},
        {"process in capitals", TActionType::taIfProcessRunning, "Process", "NVSCRIPT_COND", Branch::Yes},
        {"process not running", TActionType::taIfProcessRunning, "Process", "nvscript_none", Branch::No},
        {"empty process", TActionType::taIfProcessRunning, "Process", "", Branch::No},
    });
}

TEST_F(ScriptConditions, AppThroughALinkMatchesTheProgramItLeadsTo) {
    RunningProgram program(sandbox.file("nvscript_real"));
    ASSERT_TRUE(program.IsRunning());
    ASSERT_TRUE(QFile::link(program.Path(), sandbox.file("nvscript_link")));
    Check({{"link to a running program", TActionType::taIfAppRunning, "App", sandbox.file("nvscript_link"),
            Branch::Yes}});
}

TEST_F(ScriptThread, AStopEndsABranchBeforeItsNextAction) {
    const QString marker = Touch("marker");
    TLumo_ProfileScript condition(TActionType::taIfFolderExists);
    condition.AddValue("Folder", "/");
    condition.fIfYesList = {PauseOf("30"), DeleteFile(marker)};
    TScriptThread script(TLumo_ScriptList{condition});
    script.start();
    QThread::msleep(200);
    script.AbortIt();
    ASSERT_TRUE(script.wait(5000));
    EXPECT_TRUE(QFile::exists(marker));
}

TEST_F(ScriptThread, ListControlEndsTheList) {
    const struct {
        TActionType control;
        bool taskBroken;
    } cases[] = {{TActionType::taBreakScript, false}, {TActionType::taBreakTask, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.control));
        const QString first = Touch("first");
        const QString third = Touch("third");
        EXPECT_EQ(RunList({DeleteFile(first), Action(c.control), DeleteFile(third)}), c.taskBroken);
        EXPECT_FALSE(QFile::exists(first));
        EXPECT_TRUE(QFile::exists(third));
    }
}

TEST_F(ScriptThread, BlankAndMisplacedActionsDoNothing) {
    const QString marker = Touch("marker");
    // List control inside a branch has no effect; the branch and the list go on.
    TLumo_ProfileScript condition(TActionType::taIfFolderExists);
    condition.AddValue("Folder", "/");
    condition.fIfYesList = {Action(TActionType::taBreakTask), Action(TActionType::taBlank)};
    EXPECT_FALSE(RunList({Action(TActionType::taBlank), condition, DeleteFile(marker)}));
    EXPECT_FALSE(QFile::exists(marker));
}

class ScriptRuns : public ScriptThread {
protected:
    TAppContext ctx{TAppPaths{sandbox.path() + "/", sandbox.path() + "/Lang/"}};

    TLumo_BackupProfile& Profile() {
        const QString uid = QStringLiteral("SNK202401011200001234");
        TLumo_Sync::Create(ctx, uid);
        return *ctx.FindProfileByUID(uid);
    }
};

TEST_F(ScriptRuns, TheThreadRunsTheChosenListAsItWasWhenMade) {
    TLumo_BackupProfile& profile = Profile();
    const QString before = Touch("before");
    const QString after = Touch("after");
    const QString later = Touch("later");
    profile.SetScriptLists({DeleteFile(before)}, {DeleteFile(after)}, false);
    TScriptThread script(profile.ScriptsBefore(), true);
    // Lists replaced after the thread was made do not reach it.
    profile.SetScriptLists({DeleteFile(later)}, {DeleteFile(later)}, false);
    script.start();
    ASSERT_TRUE(script.wait(10000));
    EXPECT_FALSE(QFile::exists(before));
    EXPECT_TRUE(QFile::exists(after));
    EXPECT_TRUE(QFile::exists(later));
    EXPECT_TRUE(script.ThisIsBefore());
}

TEST_F(ScriptRuns, RunScriptsReportsABrokenTask) {
    TLumo_BackupProfile& profile = Profile();
    const QString after = Touch("after");
    profile.SetScriptLists({Action(TActionType::taBreakTask)}, {DeleteFile(after)}, false);
    TScriptThreadSlot slot;
    EXPECT_TRUE(RunScripts(profile.ScriptsBefore(), true, slot).TaskBroken);
    EXPECT_FALSE(RunScripts(profile.ScriptsAfter(), false, slot).TaskBroken);
    EXPECT_FALSE(QFile::exists(after));
    EXPECT_FALSE(slot.IsBusy());
}

TEST_F(ScriptRuns, AnAbortThroughTheSlotStopsTheWorkersListAndTheRestOfTheRun) {
    TLumo_BackupProfile& profile = Profile();
    const QString marker = Touch("marker");
    const QString after = Touch("after");
    profile.SetScriptLists({PauseOf("30"), DeleteFile(marker)}, {DeleteFile(after)}, false);
    TScriptThreadSlot slot;
    TScriptResult beforeResult{true};
    std::thread worker([&] { beforeResult = RunScripts(profile.ScriptsBefore(), true, slot); });
    ServeMainThreadWhile([&] { return !slot.IsBusy(); });
    QThread::msleep(100);

    QElapsedTimer timer;
    timer.start();
    slot.AbortAndWait();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(slot.IsBusy());
    worker.join();
    EXPECT_FALSE(beforeResult.TaskBroken);
    EXPECT_TRUE(QFile::exists(marker));

    // The stop holds for the rest of the run: the after list runs nothing.
    RunScripts(profile.ScriptsAfter(), false, slot);
    EXPECT_TRUE(QFile::exists(after));
}

TEST_F(ScriptRuns, AnAbortWithoutARunningListReturnsAtOnce) {
    TScriptThreadSlot slot;
    slot.AbortAndWait();
    EXPECT_TRUE(slot.Aborted());
    EXPECT_FALSE(slot.IsBusy());
}

} // namespace
