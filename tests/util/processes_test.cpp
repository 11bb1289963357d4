#include "os/platform.h"
#include "os/processes.h"
#include "util/processes.h"

#include "test_env.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(Processes, FindTheTestProcessByImagePathAndName) {
    const QString self = QString::fromStdString(os::ExecutablePath());
    ASSERT_FALSE(self.isEmpty());
    EXPECT_EQ(ProcessImagePath(::getpid()), self);
    EXPECT_TRUE(IsAppRunning(self));
    EXPECT_TRUE(IsAppRunning(self.toUpper()));
    EXPECT_FALSE(IsAppRunning(self + ".not-there"));
    EXPECT_FALSE(IsAppRunning(""));

    const QString name = self.mid(self.lastIndexOf('/') + 1);
    EXPECT_TRUE(IsProcessRunning(name));
    EXPECT_TRUE(IsProcessRunning(name.toUpper()));
    EXPECT_FALSE(IsProcessRunning(name + "-not-there"));
    EXPECT_FALSE(IsProcessRunning(""));
    EXPECT_TRUE(ProcessImagePath(-1).isEmpty());
}

TEST(Processes, FindAProgramWhoseNameIsLongerThanTheKernelKeeps) {
    TestSandbox sandbox;
    const QString program = sandbox.file("a-rather-long-program-name");
    ASSERT_TRUE(QFile::copy("/bin/sleep", program));
    QProcess child;
    child.start(program, {"30"});
    ASSERT_TRUE(child.waitForStarted());
    EXPECT_TRUE(IsProcessRunning("a-rather-long-program-name"));
    EXPECT_FALSE(IsProcessRunning("a-rather-long-p")); // the kernel's short form is not the name
    EXPECT_TRUE(IsAppRunning(program));
    child.kill();
    child.waitForFinished();
    EXPECT_FALSE(IsAppRunning(program));
}

int CurrentThreadNice() { return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); }

TEST(Processes, AThreadCanLowerItsOwnPriority) {
    // The suite may itself run under nice, so the check is against where the worker starts.
    const int start = CurrentThreadNice();
    int from = -100;
    int nice = -100;
    bool lowered = false;
    bool restored = false;
    int niceAfter = -100;
    std::thread worker([&] {
        // Already at the lowest priority, a privileged run first makes room to lower it.
        if (CurrentThreadNice() >= 19)
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
        from = CurrentThreadNice();
        if (from >= 19)
            return;
        lowered = os::SetCurrentThreadLowPriority(true);
        nice = CurrentThreadNice();
        restored = os::SetCurrentThreadLowPriority(false);
        niceAfter = CurrentThreadNice();
    });
    worker.join();
    // Only the worker was touched.
    EXPECT_EQ(CurrentThreadNice(), start);
    if (from >= 19)
        GTEST_SKIP() << "the worker runs at niceness " << from
                     << ", the lowest priority there is, and may not raise it to have room to lower it";
    EXPECT_TRUE(lowered);
    EXPECT_GT(nice, from);
    EXPECT_EQ(nice, 19);
    // Raising it again needs a privilege; either it reached normal or nothing changed.
    EXPECT_EQ(niceAfter, restored ? 0 : 19);
}

} // namespace
