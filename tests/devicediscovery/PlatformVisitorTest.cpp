#include "FakeStick.h"
#include "ScriptedVisitor.h"

#include "DeviceDiscoveryImpl/PlatformVisitorLinux.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

using DeviceDiscoveryImpl::DiscoveryConfig;
using Disk = FakeSticks::Disk;

TEST(PlatformVisitorTest, UidJoinsBothIdsWithTheFnv1aHashOfTheSerial)
{
    const ScriptedVisitor visitor(std::make_shared<ScriptedVisitor::Script>());
    EXPECT_EQ(visitor.uid(0, 0, ""), 0x00000000811c9dc5u);
    EXPECT_EQ(visitor.uid(0x5581, 0x5581, "4C530001"), 0x558155815d7b8f47u);
    EXPECT_EQ(visitor.uid(0x0781, 0x5581, "foobar"), 0x07815581bf9cf968u);
    EXPECT_EQ(visitor.uid(0xffff, 0xffff, "\xff"), 0xffffffff7a0b824eu);
}

namespace {

struct Row {
    const char* what;
    std::vector<Disk> disks; // mountDir: a folder name below the fake's media folder
    std::vector<std::string> expected; // "<mount folder> <serial> <uid>"
    std::function<void(DiscoveryConfig&)> configure = {};
};

} // namespace

TEST(PlatformVisitorTest, ReportsMountedRemovableUsbSticksFromSysfsAndMountinfo)
{
    const std::vector<Row> rows = {
        {"partitioned stick", {{"STICK", "4C530001", "0781", "5581"}}, {"STICK 4C530001 558155815d7b8f47"}},
        {"file system on the whole disk", {{"WHOLE", "W1", "abcd", "1234", true, true, true, false}},
            {"WHOLE W1 123412348ff84fa5"}},
        {"not removable", {{"FIXED", "S", "abcd", "1234", false}}, {}},
        {"not on USB", {{"SATA", "S", "abcd", "1234", true, false}}, {}},
        {"no media", {{"SLOT", "S", "abcd", "1234", true, true, false}}, {}},
        {"not mounted", {{""}}, {}},
        {"unreadable vendor id", {{"BAD", "S", "xyz!"}}, {}},
        {"escaped mount path", {{"My Stick\\040"}}, {"My Stick\\040 SER0001 12341234f5e94dd2"}},
        {"serial-less twins", {{"A", ""}, {"B", ""}}, {"A 1-1 12341234e43fd256", "B 1-2 12341234e33fd0c3"}},
        {"vendors stay out of the uid", {{"A", "SAME", "0781", "5581"}, {"B", "SAME", "090c", "5581"}},
            {"A SAME 558155810a5e7f3b", "B SAME 558155810a5e7f3b"}},
        {"vendor and product filters",
            {{"A", "SAME", "0781", "5581"}, {"B", "SAME", "0781", "5567"}, {"C", "SAME", "090c", "5581"}},
            {"A SAME 558155810a5e7f3b"},
            [](DiscoveryConfig& config) {
                config.addDeviceType(DeviceDiscovery::MassStorage);
                config.addVendorId(0x0781);
                config.addProductId(0x5581);
            }},
    };
    for (const Row& row : rows) {
        FakeSticks sticks;
        for (Disk disk : row.disks) {
            if (!disk.mountDir.isEmpty())
                disk.mountDir = sticks.MountDir(disk.mountDir);
            sticks.Insert(disk);
        }
        auto config = std::make_unique<DiscoveryConfig>();
        if (row.configure)
            row.configure(*config);
        std::vector<DeviceDiscovery::DeviceProperties> devices;
        DeviceDiscoveryImpl::PlatformVisitorLinux(std::move(config)).visit(devices, false);
        std::vector<std::string> seen;
        for (const auto& device : devices)
            seen.push_back(QString::fromStdString(device.path).remove(sticks.MountDir("")).toStdString() + " "
                + device.serial + " " + QString::number(device.uid, 16).toStdString());
        EXPECT_EQ(seen, row.expected) << row.what;
    }
}
