#include "FakeStick.h"
#include "ScriptedVisitor.h"

#include "DeviceDiscoveryImpl/PlatformVisitorLinux.h"

#include <gtest/gtest.h>

using DeviceDiscoveryImpl::DiscoveryConfig;
using DeviceDiscoveryImpl::PlatformVisitorLinux;

TEST(PlatformVisitorTest, UidJoinsBothIdsWithTheFnv1aHashOfTheSerial)
{
    const ScriptedVisitor visitor(std::make_shared<ScriptedVisitor::Script>());

    EXPECT_EQ(visitor.uid(0, 0, ""), 0x00000000811c9dc5u);
    EXPECT_EQ(visitor.uid(0, 0, "a"), 0x00000000e40c292cu);
    EXPECT_EQ(visitor.uid(0x5581, 0x5581, "4C530001"), 0x558155815d7b8f47u);
    EXPECT_EQ(visitor.uid(0x0781, 0x5581, "foobar"), 0x07815581bf9cf968u);
    EXPECT_EQ(visitor.uid(0xffff, 0xffff, "\xff"), 0xffffffff7a0b824eu);
}

namespace {

class PlatformVisitorLinuxTest : public ::testing::Test {
protected:
    std::vector<DeviceDiscovery::DeviceProperties> Visit(std::unique_ptr<DiscoveryConfig> config)
    {
        PlatformVisitorLinux visitor(std::move(config));
        std::vector<DeviceDiscovery::DeviceProperties> devices;
        visitor.visit(devices, false);
        return devices;
    }
    QString MountDir(const QString& name) const { return m_sticks.MountDir(name); }

    FakeSticks m_sticks;
};

} // namespace

TEST_F(PlatformVisitorLinuxTest, DescribesAStickByItsUsbIdsAndMountPoint)
{
    m_sticks.Insert(MountDir("STICK"), "4C530001", "0781", "5581");

    const std::vector<DeviceDiscovery::DeviceProperties> devices = Visit(std::make_unique<DiscoveryConfig>());
    ASSERT_EQ(devices.size(), 1u);
    // The product id stands in both halves of the identifier.
    EXPECT_EQ(devices[0].uid, 0x558155815d7b8f47u);
    EXPECT_EQ(devices[0].productId, 0x5581);
    EXPECT_EQ(devices[0].vendorId, 0x0781);
    EXPECT_EQ(devices[0].extraId, 0);
    EXPECT_EQ(devices[0].serial, "4C530001");
    EXPECT_EQ(devices[0].path, MountDir("STICK").toStdString());
}

TEST_F(PlatformVisitorLinuxTest, AppliesTheFiltersOfItsConfig)
{
    m_sticks.Insert(MountDir("A"), "S1", "0781", "5581");
    m_sticks.Insert(MountDir("B"), "S2", "0781", "5567");
    m_sticks.Insert(MountDir("C"), "S3", "090c", "5581");

    auto byVendor = std::make_unique<DiscoveryConfig>();
    byVendor->addVendorId(0x0781);
    byVendor->addDeviceType(DeviceDiscovery::MassStorage);
    EXPECT_EQ(Visit(std::move(byVendor)).size(), 2u);

    auto byBoth = std::make_unique<DiscoveryConfig>();
    byBoth->addVendorId(0x0781);
    byBoth->addProductId(0x5581);
    byBoth->addProductId(0x1111);
    const std::vector<DeviceDiscovery::DeviceProperties> devices = Visit(std::move(byBoth));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].serial, "S1");

    auto otherType = std::make_unique<DiscoveryConfig>();
    otherType->addDeviceType(1);
    EXPECT_TRUE(Visit(std::move(otherType)).empty());
}

// Vendors do not enter the identifier: the same product id and serial from two vendors collide.
TEST_F(PlatformVisitorLinuxTest, SticksWithTheSameProductIdAndSerialShareAUid)
{
    m_sticks.Insert(MountDir("A"), "SAME", "0781", "5581");
    m_sticks.Insert(MountDir("B"), "SAME", "090c", "5581");

    const std::vector<DeviceDiscovery::DeviceProperties> devices = Visit(std::make_unique<DiscoveryConfig>());
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].uid, devices[1].uid);
}
