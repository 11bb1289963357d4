#include "zip_run_support.h"

#include "archive/set_swap.h"

#include <QDir>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Replaces the old split set in out/ by a new one in a child process killed
// with SIGKILL before step killAt of the swap; true when it was killed there.
bool SwapKilledAtStep(const QString& out, const QStringList& newNames, const QStringList& finalNames,
                      const QStringList& oldNames, int killAt) {
    auto paths = [&out](const QStringList& names) {
        std::vector<std::string> list;
        for (const QString& name : names)
            list.push_back((out + name).toStdString());
        return list;
    };
    const auto newFiles = paths(newNames), finals = paths(finalNames), oldFiles = paths(oldNames);
    const pid_t child = ::fork();
    if (child == 0) {
        int step = 0;
        std::string error;
        archive::ReplaceFileSet(newFiles, finals, oldFiles, error, [&step, killAt] {
            if (step++ == killAt)
                ::raise(SIGKILL);
        });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// A run killed while it swapped a split archive's sets: the next run first
// puts the old set back (kill before the new set was whole) or finishes the
// swap (kill after), before anything else; here its sources are gone, so it
// writes nothing and the set it recovered is what stays.
TEST_F(ZipRunTest, NextRunFinishesOrUndoesTheSwapOfAKilledRun) {
    const QStringList oldNames{"Backup.z01", "Backup.z02", "Backup.zip"};
    const QStringList newNames{"tmplumozip0.z01", "tmplumozip0.zip"};
    const QStringList finalNames{"Backup.z01", "Backup.zip"};
    // Steps: the journal (0), the old files aside (1-3), the new files in
    // (4-5), the old files removed (6-8).
    struct Case {
        int killAt;
        const char* expected; // which set the archive's names hold afterwards
    };
    for (const Case& c : {Case{2, "old"}, Case{4, "old"}, Case{5, "old"}, Case{6, "new"}, Case{8, "new"}}) {
        SCOPED_TRACE(c.killAt);
        QDir(Target()).removeRecursively();
        for (const QString& name : oldNames)
            sandbox.writeFile("out/" + name, ("old " + name).toUtf8());
        for (const QString& name : newNames)
            sandbox.writeFile("out/" + name, ("new " + name).toUtf8());
        ASSERT_TRUE(SwapKilledAtStep(Target(), newNames, finalNames, oldNames, c.killAt));
        QDir(Source()).removeRecursively();

        TLumo_Zip& zip = MakeZip("Backup.zip", [](TZip_Settings& s) {
            s.nSpanEn = true;
            s.nSpanValue = 10;
        });
        Run(zip);
        EXPECT_NE(zip.LastError(), TLumo_Error::feArchiving) << zip.LastErrorText().toStdString();
        if (std::string(c.expected) == "old") {
            EXPECT_EQ(NamesIn(Target()), oldNames);
            for (const QString& name : oldNames)
                EXPECT_EQ(sandbox.readFile("out/" + name), ("old " + name).toUtf8());
        } else {
            EXPECT_EQ(NamesIn(Target()), finalNames);
            for (qsizetype i = 0; i < finalNames.size(); ++i)
                EXPECT_EQ(sandbox.readFile("out/" + finalNames[i]), ("new " + newNames[i]).toUtf8());
        }
        sandbox.writeFile("src/report.txt", "report");
    }
}

} // namespace
