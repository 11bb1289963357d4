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

TEST(Processes, AThreadCanLowerItsOwnPriority) {
    int nice = -100;
    bool lowered = false;
    bool restored = false;
    int niceAfter = -100;
    std::thread worker([&] {
        lowered = os::SetCurrentThreadLowPriority(true);
        nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
        restored = os::SetCurrentThreadLowPriority(false);
        niceAfter = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    });
    worker.join();
    EXPECT_TRUE(lowered);
    EXPECT_EQ(nice, 19);
    // Raising it again needs a privilege; either it worked or nothing changed.
    EXPECT_EQ(niceAfter, restored ? 0 : 19);
    EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())), 0);
}

} // namespace
