#include "os/volume_text.h"
#include "os/volumes.h"
#include "util/drives.h"

#include "test_env.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(VolumeText, DriveIdentifiersFromSerialsAndUuids) {
    EXPECT_EQ(os::VolumeIdFromSerial(0x00A1B2C3), "00A1:B2C3");
    EXPECT_EQ(os::VolumeIdFromSerial(0xFFFFFFFF), "FFFF:FFFF");
    const struct {
        const char* uuid;
        const char* id;
    } cases[] = {
        {"1a2b-3c4d", "1A2B:3C4D"},                            // FAT, exFAT
        {"0123456789ABCDEF", "89AB:CDEF"},                     // NTFS: the low half Windows shows
        {"b4a5c2d0-9e1f-4a7b-8c3d-112233445566", "B4A5:C2D0"}, // ext4 and the rest: the first eight digits
        {"2023-01-15-14-30-00-00", "2023:0115"},               // an ISO 9660 date stamp
        {"abc", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(os::VolumeIdFromUuid(c.uuid), c.id) << c.uuid;
}

TEST(VolumeText, ParsesMountInfoWithOptionalFieldsAndEscapes) {
    const char* text = "26 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
                       "garbage line\n"
                       "90 26 8:17 / /media/user/My\\040Disk rw,nosuid - vfat /dev/sdb1 rw,uid=1000\n"
                       "91 26 0:50 / /mnt/back\\134slash rw - tmpfs tmpfs rw";
    const std::vector<os::MountInfoEntry> mounts = os::ParseMountInfo(text);
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[0].fsType, "ext4");
    EXPECT_EQ(mounts[0].source, "/dev/vda");
    EXPECT_EQ(mounts[1].mountPoint, "/media/user/My Disk");
    EXPECT_EQ(mounts[1].fsType, "vfat");
    EXPECT_EQ(mounts[1].source, "/dev/sdb1");
    EXPECT_EQ(mounts[2].mountPoint, "/mnt/back\\slash");
}

TEST(Drives, TheTestFoldersVolumeHasAWellFormedOrEmptyIdentifier) {
    TestSandbox sandbox;
    const QString id = DriveIDOf(sandbox.path() + "/");
    if (!id.isEmpty()) {
        EXPECT_TRUE(QRegularExpression("^[0-9A-F]{4}:[0-9A-F]{4}$").match(id).hasMatch()) << qPrintable(id);
    }
    EXPECT_TRUE(DriveIDOf("relative/path").isEmpty());
    EXPECT_TRUE(DriveIDOf("").isEmpty());

    // With its own volume's identifier a path stays as it is; without one there is nothing to find.
    const QString folder = sandbox.path() + "/Backup/";
    if (id.isEmpty()) {
        EXPECT_TRUE(RebindPathToDrive(folder, id).isEmpty());
    } else {
        EXPECT_EQ(RebindPathToDrive(folder, id), folder);
    }
}

TEST(Drives, ReadinessAndMountPoints) {
    TestSandbox sandbox;
    EXPECT_TRUE(IsDriveReady("/"));
    EXPECT_TRUE(IsDriveReady(sandbox.path()));
    EXPECT_TRUE(IsDriveReady(sandbox.path() + "/not/yet/there/"));
    EXPECT_FALSE(IsDriveReady("1"));
    EXPECT_FALSE(IsDriveReady(""));
    EXPECT_EQ(MountPointOf("/"), "/");
    EXPECT_EQ(MountPointOf("/proc/self/status"), "/proc");
    EXPECT_TRUE(MountPointOf("relative").isEmpty());
    const QString mountPoint = MountPointOf(sandbox.path());
    EXPECT_FALSE(mountPoint.isEmpty());
    EXPECT_TRUE(QDir(sandbox.path()).canonicalPath().startsWith(mountPoint));
}

// Rebinding over a made-up mount table whose mount points are sandbox folders.
class RebindTest : public ::testing::Test {
protected:
    RebindTest() : base(QDir(sandbox.path()).canonicalPath().toStdString()) {}
    void MakeFolder(const std::string& relative) const {
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(base + relative)));
    }
    std::string Rebind(const std::string& relative, const std::string& id) const {
        return os::RebindPathOnVolumes(volumes, base + relative, id);
    }

    TestSandbox sandbox;
    const std::string base;
    std::vector<os::MountedVolume> volumes{{"/", "/dev/root", "ROOT:0001"},
                                           {base + "/media/NEW", "/dev/sdb1", "AAAA:BBBB"},
                                           {base + "/media/OTHER", "/dev/sdc1", "CCCC:DDDD"},
                                           {base + "/media/SECOND", "/dev/sdd1", "AAAA:BBBB"}};
};

TEST_F(RebindTest, KeepsAPathWhoseVolumeHasTheIdentifier) {
    MakeFolder("/media/NEW/Backup");
    EXPECT_EQ(Rebind("/media/NEW/Backup/", "AAAA:BBBB"), base + "/media/NEW/Backup/");
    // Even when the folder does not exist yet.
    EXPECT_EQ(Rebind("/media/NEW/Later/", "AAAA:BBBB"), base + "/media/NEW/Later/");
}

TEST_F(RebindTest, MovesAPathOntoTheFirstVolumeWithTheIdentifier) {
    MakeFolder("/media/NEW/Backup/Deep");
    MakeFolder("/media/OTHER/Backup");
    // The same disk, now mounted elsewhere; the old mount point is gone.
    EXPECT_EQ(Rebind("/media/OLD/Backup/Deep/", "AAAA:BBBB"), base + "/media/NEW/Backup/Deep/");
    // Another disk now sits at the old mount point.
    EXPECT_EQ(Rebind("/media/OTHER/Backup/", "AAAA:BBBB"), base + "/media/NEW/Backup/");
    EXPECT_EQ(Rebind("/media/OTHER/Backup", "AAAA:BBBB"), base + "/media/NEW/Backup");
}

TEST_F(RebindTest, GuessesTheOldMountPointWhenNothingOfThePathExistsOnTheTarget) {
    MakeFolder("/media/NEW");
    MakeFolder("/mnt/usb"); // an empty folder left behind by an unmount
    EXPECT_EQ(Rebind("/media/OLD/Fresh/", "AAAA:BBBB"), base + "/media/NEW/Fresh/");
    EXPECT_EQ(Rebind("/mnt/usb/Fresh/", "AAAA:BBBB"), base + "/media/NEW/Fresh/");
    EXPECT_EQ(Rebind("/media/OLD/", "AAAA:BBBB"), base + "/media/NEW/");
}

TEST_F(RebindTest, AnswersEmptyWhenTheIdentifierIsUnknownOrTheInputUnusable) {
    MakeFolder("/media/NEW/Backup");
    EXPECT_EQ(Rebind("/media/NEW/Backup/", "1234:5678"), "");
    EXPECT_EQ(Rebind("/media/NEW/Backup/", ""), "");
    EXPECT_EQ(os::RebindPathOnVolumes(volumes, "relative/Backup/", "AAAA:BBBB"), "");
    EXPECT_EQ(os::RebindPathOnVolumes(volumes, "", "AAAA:BBBB"), "");
}

} // namespace
