#include "MountInfo.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

TEST(MountInfoTest, UnescapesTheKernelsOctalEscapes)
{
    EXPECT_EQ(MountInfo::Unescape("/media/My\\040Stick"), "/media/My Stick");
    EXPECT_EQ(MountInfo::Unescape("/a\\011b\\012c\\134d"), "/a\tb\nc\\d");
    // Only a backslash with three octal digits is an escape.
    EXPECT_EQ(MountInfo::Unescape("/x\\04"), "/x\\04");
    EXPECT_EQ(MountInfo::Unescape("/x\\089y"), "/x\\089y");
    EXPECT_EQ(MountInfo::Unescape("\\134040"), "\\040");
}

TEST(MountInfoTest, KeysMountPointsByDeviceNumberAndKeepsTheFirst)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("mountinfo").toStdString();
    std::ofstream(path) << "22 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw\n"
                           "101 22 8:17 / /media/STICK\\040ONE rw,relatime shared:50 - vfat /dev/sdb1 rw\n"
                           "102 22 8:17 / /mnt/again rw,relatime shared:51 - vfat /dev/sdb1 rw\n"
                           "103 22 8:1\n"
                           "\n"
                           "36 22 8:33 /sub /media/b rw - vfat /dev/sdc1 rw";

    const MountInfo table = MountInfo::Read(path);
    EXPECT_EQ(table.MountPoint("8:17"), "/media/STICK ONE");
    EXPECT_EQ(table.MountPoint("259:2"), "/");
    EXPECT_EQ(table.MountPoint("8:33"), "/media/b");
    EXPECT_EQ(table.MountPoint("8:1"), "");
    EXPECT_EQ(table.MountPoint("8:16"), "");
    EXPECT_EQ(MountInfo::Read(dir.filePath("missing").toStdString()).MountPoint("259:2"), "");
}
