#include "profiles/drive_binding.h"
#include "profiles/profile_uid.h"
#include "sync/sync_task.h"

#include "../sync/kind_test_support.h"

#include <QMap>

namespace {

// Stands in for the platform's mount-point lookup.
TVolumeOf FakeVolumes(const QMap<QString, QString>& prefixToVolume) {
    return [prefixToVolume](const QString& path) {
        for (auto it = prefixToVolume.begin(); it != prefixToVolume.end(); ++it)
            if (path.startsWith(it.key()))
                return it.value();
        return QString();
    };
}

TEST(DriveBinding, FoldersOnAtMostOneVolumeCanBeBound) {
    const TVolumeOf volumes = FakeVolumes({{"/media/usb/", "usb"}, {"/home/", "root"}, {"//server/", ""}});
    const struct {
        QStringList paths;
        bool expected;
    } cases[] = {
        {{"/home/a/", "/home/b/"}, true},
        {{"/home/a/", "/media/usb/b/"}, false},
        {{"//server/share/a/", "//server/share/b/"}, true}, // no volume to bind: left out
        {{"//server/share/a/", "/media/usb/b/"}, true},
        {{"", "/home/a/", ""}, true},
        {{}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathsOnOneVolume(c.paths, volumes), c.expected) << c.paths.join('|').toStdString();
}

TEST(DriveBinding, VolumeOfPathUsesTheFirstComponent) {
    EXPECT_EQ(VolumeOfPath("/media/usb/x/"), "/media");
    EXPECT_EQ(VolumeOfPath("/home"), "/home");
    EXPECT_EQ(VolumeOfPath("/"), "/");
    EXPECT_EQ(VolumeOfPath("relative/x/"), "");
    EXPECT_EQ(VolumeOfPath(""), "");
}

using SyncDriveTest = KindTest;

TEST_F(SyncDriveTest, SourcesAndStoragesAreJudgedSeparately) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    TSyncSettings s;
    // /proc and /sys are separate mounts on every Linux system.
    s.nValueList = {"/proc/a/", "/backup/x/a/", "/sys/b/", "/backup/x/b/"};
    sync.ApplyNewSettings(s, false);
    EXPECT_FALSE(sync.CanUseDriveSourceID());
    EXPECT_TRUE(sync.CanUseDriveStorageID());
}

TEST(ProfileUid, ACollisionMakesTheGeneratorDrawAgain) {
    const TDateTime moment = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 7, 0);
    int draw = 0;
    // The first four digits repeat a UID that is taken; the next four are free.
    const int digits[] = {1, 2, 3, 4, 1, 2, 3, 5};
    const QString uid = MakeStampUID(
        "ZIP", [](const QString& candidate) { return candidate != "ZIP202403051430071234"; }, [&] { return moment; },
        [&] { return digits[draw++]; });
    EXPECT_EQ(uid, "ZIP202403051430071235");
    EXPECT_EQ(draw, 8);
}

using ProfileUidTest = KindTest;

TEST_F(ProfileUidTest, ListKeysThatCannotBeProfilesAreRefused) {
    TLumo_Sync::Create(*ctx, "SNK202401010000001234");
    EXPECT_TRUE(CanLoadProfileUID(*ctx, "SNK202401010000005678"));
    EXPECT_FALSE(CanLoadProfileUID(*ctx, "SNK202401010000001234"));
    EXPECT_FALSE(CanLoadProfileUID(*ctx, "main"));
    EXPECT_FALSE(CanLoadProfileUID(*ctx, "CronList"));
    EXPECT_FALSE(CanLoadProfileUID(*ctx, " "));
}

} // namespace
