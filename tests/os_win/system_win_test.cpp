#include "archive_test_support.h"

#include "os/autorun.h"
#include "os/processes.h"
#include "os/volume_text.h"
#include "os/volumes.h"

#include <gtest/gtest.h>

#include <windows.h>


using namespace archive_test;

TEST(WindowsAutorun, EntryIsWrittenReadAndRemoved) {
    const std::string name = "Norvane Backup test " + std::to_string(GetCurrentProcessId());
    const std::string command = os::AutorunCommand("C:\\Program Files\\Norvane\\norvane.exe", "-autorun", true);
    EXPECT_EQ(command, "\"C:\\Program Files\\Norvane\\norvane.exe\" -autorun");
    EXPECT_FALSE(os::ReadAutorunCommand(name).has_value());
    ASSERT_TRUE(os::WriteAutorunCommand(name, command));
    EXPECT_EQ(os::ReadAutorunCommand(name).value_or(""), command);
    ASSERT_TRUE(os::WriteAutorunCommand(name, "C:\\other.exe"));
    EXPECT_EQ(os::ReadAutorunCommand(name).value_or(""), "C:\\other.exe");
    EXPECT_TRUE(os::RemoveAutorun(name));
    EXPECT_FALSE(os::ReadAutorunCommand(name).has_value());
    EXPECT_TRUE(os::RemoveAutorun(name));
    EXPECT_NE(os::AutorunLocation(name).find(name), std::string::npos);
}

TEST(WindowsProcesses, ThisProcessIsListedWithItsImage) {
    const int self = os::CurrentProcessId();
    EXPECT_EQ(self, static_cast<int>(GetCurrentProcessId()));
    EXPECT_NE(os::ProcessImagePath(self).find("test_os_win.exe"), std::string::npos) << os::ProcessImagePath(self);
    bool seen = false;
    os::ForEachProcess([&](const os::ProcessInfo& process) {
        if (process.pid == self) {
            seen = true;
            EXPECT_EQ(process.imageName, "test_os_win.exe");
        }
        return !seen;
    });
    EXPECT_TRUE(seen);
}

TEST(WindowsProcesses, LowPriorityAndBack) {
    ASSERT_TRUE(os::SetProcessLowPriority(true));
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
    ASSERT_TRUE(os::SetProcessLowPriority(false));
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    ASSERT_TRUE(os::SetCurrentThreadLowPriority(true));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_IDLE);
    ASSERT_TRUE(os::SetCurrentThreadLowPriority(false));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}

// Wine reads a drive's serial number from a .windows-serial file in its root;
// scripts/test-windows.sh gives drive C: the serial 1a2b3c4d.
TEST(WindowsVolumes, DriveIdComesFromTheVolumeSerial) {
    DWORD number = 0;
    ASSERT_TRUE(GetVolumeInformationW(L"C:\\", nullptr, 0, &number, nullptr, nullptr, nullptr, 0));
    if (number != 0x1a2b3c4d)
        GTEST_SKIP() << "drive C: does not carry the serial scripts/test-windows.sh sets up";
    TempFolder dir;
    const std::string id = os::DriveIDOf(dir / "");
    EXPECT_EQ(id, os::DriveIDOf("C:\\"));
    EXPECT_EQ(id, os::VolumeIdFromSerial(0x1a2b3c4d));
    EXPECT_EQ(os::MountPointOf(dir / ""), "C:\\");
    EXPECT_TRUE(os::IsDriveReady(dir / ""));
    bool listed = false;
    for (const os::MountedVolume& volume : os::MountedVolumes())
        listed = listed || (volume.mountPoint == "C:\\" && volume.id == id);
    EXPECT_TRUE(listed);
    EXPECT_EQ(os::RebindPathToDrive(dir / "sub", id), dir / "sub");
    EXPECT_EQ(os::RebindPathToDrive(dir / "sub", "0000-0001"), "");
}
