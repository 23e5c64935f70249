#include "UsbDiskEnumerator.h"
#include "FakeStick.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class UsbDiskEnumeratorTest : public ::testing::Test {
protected:
    std::vector<UsbDisk> Enumerate() const { return UsbDiskEnumerator::FromEnvironment().Enumerate(); }
    QString MountDir(const QString& name) const { return m_sticks.MountDir(name); }

    FakeSticks m_sticks;
};

} // namespace

TEST_F(UsbDiskEnumeratorTest, SkipsDisksThatAreNotMountedRemovableUsbMedia)
{
    FakeSticks::Disk fixed;
    fixed.mountDir = MountDir("FIXED");
    fixed.removable = false;
    FakeSticks::Disk sata = fixed;
    sata.mountDir = MountDir("SATA");
    sata.removable = true;
    sata.usb = false;
    FakeSticks::Disk emptySlot = sata;
    emptySlot.mountDir = MountDir("SLOT");
    emptySlot.usb = true;
    emptySlot.media = false;
    FakeSticks::Disk unmounted = emptySlot;
    unmounted.mountDir.clear();
    unmounted.media = true;
    for (const FakeSticks::Disk& disk : {fixed, sata, emptySlot, unmounted})
        m_sticks.Insert(disk);
    m_sticks.Insert(MountDir("GOOD"), "GOOD1", "0781", "5581");

    const std::vector<UsbDisk> disks = Enumerate();
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].vendorId, 0x0781);
    EXPECT_EQ(disks[0].productId, 0x5581);
    EXPECT_EQ(disks[0].serial, "GOOD1");
    EXPECT_EQ(disks[0].mountPoint, MountDir("GOOD").toStdString());
}

TEST_F(UsbDiskEnumeratorTest, FindsTheMountOfTheWholeDiskOrOfItsPartition)
{
    FakeSticks::Disk whole;
    whole.mountDir = MountDir("WHOLE");
    whole.serial = "W1";
    whole.partitioned = false;
    m_sticks.Insert(whole);
    const QString partitioned = m_sticks.Insert(MountDir("PART"), "P1");
    m_sticks.Mount(partitioned, MountDir("SECOND"));

    const std::vector<UsbDisk> disks = Enumerate();
    ASSERT_EQ(disks.size(), 2u);
    EXPECT_EQ(disks[0].mountPoint, MountDir("WHOLE").toStdString());
    EXPECT_EQ(disks[1].mountPoint, MountDir("PART").toStdString()) << "the first mount of a device counts";
}

TEST_F(UsbDiskEnumeratorTest, UnescapesMountPathsWithSpacesAndBackslashes)
{
    const QString odd = MountDir("My Stick\\2");
    m_sticks.Insert(odd);

    const std::vector<UsbDisk> disks = Enumerate();
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].mountPoint, odd.toStdString());
    EXPECT_TRUE(QDir(QString::fromStdString(disks[0].mountPoint)).exists());
}

TEST_F(UsbDiskEnumeratorTest, TellsSerialLessTwinsApartByTheirPorts)
{
    m_sticks.Insert(MountDir("A"), QString(), "abcd", "1234");
    m_sticks.Insert(MountDir("B"), QString(), "abcd", "1234");

    const std::vector<UsbDisk> disks = Enumerate();
    ASSERT_EQ(disks.size(), 2u);
    EXPECT_EQ(disks[0].serial, "1-1");
    EXPECT_EQ(disks[1].serial, "1-2");
}

TEST_F(UsbDiskEnumeratorTest, SkipsUnreadableIdentitiesAndMissingRoots)
{
    m_sticks.Insert(MountDir("A"), "S1", "xyz!", "1234");
    m_sticks.Insert(MountDir("B"), "S2", "12345", "1234");
    EXPECT_TRUE(Enumerate().empty());

    EXPECT_TRUE(UsbDiskEnumerator("/nonexistent/sys", "/nonexistent/mountinfo").Enumerate().empty());
}

TEST_F(UsbDiskEnumeratorTest, ReadsTheEnvironmentAnewForEachEnumeration)
{
    m_sticks.Insert(MountDir("A"));
    const UsbDiskEnumerator onTheFake = UsbDiskEnumerator::FromEnvironment();
    {
        FakeSticks empty; // moves both roots to an empty tree
        EXPECT_TRUE(Enumerate().empty());
    }
    EXPECT_EQ(Enumerate().size(), 1u);
    EXPECT_EQ(onTheFake.Enumerate().size(), 1u);
}
