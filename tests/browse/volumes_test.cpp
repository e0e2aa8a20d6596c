#include <gtest/gtest.h>

#include "platform/volumes.h"

using namespace fotello;

TEST(Volumes, MountInfoParsing) {
    const char* text =
        "22 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
        "23 22 0:21 / /proc rw - proc proc rw\n"
        "24 22 8:17 / /media/ana/FOTOS\\040DE\\0402003 rw,nosuid shared:7 - vfat /dev/sdb1 rw\n"
        "25 22 254:0 /etc/hosts /etc/hosts rw - ext4 /dev/vda rw\n"
        "26 22 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n"
        "27 22 7:3 / /snap/core/1 ro - squashfs /dev/loop3 ro\n"
        "28 22 0:50 / /mnt/rede rw - nfs4 server:/export rw\n"
        "29 22 0:51 / /run/user/1000 rw - tmpfs tmpfs rw\n"
        "lixo sem campos\n";
    const auto m = ParseMountInfo(text);
    ASSERT_EQ(m.size(), 8u);
    EXPECT_EQ(m[2].mountPoint, "/media/ana/FOTOS DE 2003");
    EXPECT_EQ(m[2].fsType, "vfat");
    EXPECT_EQ(m[2].source, "/dev/sdb1");
    EXPECT_EQ(m[3].root, "/etc/hosts");

    std::vector<std::string> users;
    for (const auto& e : m)
        if (IsUserVolume(e))
            users.push_back(e.mountPoint);
    EXPECT_EQ(users, (std::vector<std::string>{"/", "/media/ana/FOTOS DE 2003", "/media/cd",
                                               "/mnt/rede"}));

    EXPECT_EQ(KindOf(m[4], false), VolumeKind::CdRom);
    EXPECT_EQ(KindOf(m[2], true), VolumeKind::Removable);
    EXPECT_EQ(KindOf(m[2], false), VolumeKind::Fixed);
    EXPECT_EQ(KindOf(m[6], false), VolumeKind::Fixed) << "network shares show as fixed";
}

TEST(Volumes, TheRunningSystemListsRootFirst) {
    const auto v = ListVolumes();
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(v[0].key, "/");
    for (const auto& vol : v) {
        EXPECT_EQ(vol.key.back(), '/');
        EXPECT_FALSE(vol.text.empty());
    }
}
