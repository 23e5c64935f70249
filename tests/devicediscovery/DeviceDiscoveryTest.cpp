#include "FakeStick.h"
#include "ScriptedVisitor.h"

#include "DeviceDiscoveryImpl/Framework.h"
#include "DeviceDiscoveryImpl/PlatformVisitorLinux.h"
#include "DeviceDiscoveryImpl/PollingWorker.h"

#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using DeviceDiscoveryImpl::DiscoveryConfig;
using DeviceDiscoveryImpl::Framework;
using Script = ScriptedVisitor::Script;

const auto Start = [](const std::shared_ptr<Script>& script) {
    return Framework::instance().createNotifier(script->Callbacks(), std::make_unique<ScriptedVisitor>(script), 20);
};
const auto WaitUntil = [](const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 10000); };

TEST(PlatformVisitorTest, UidJoinsBothIdsWithTheFnv1aHashOfTheSerial)
{
    const ScriptedVisitor visitor(std::make_shared<Script>());
    EXPECT_EQ(visitor.uid(0, 0, ""), 0x00000000811c9dc5u);
    EXPECT_EQ(visitor.uid(0x5581, 0x5581, "4C530001"), 0x558155815d7b8f47u);
    EXPECT_EQ(visitor.uid(0x0781, 0x5581, "foobar"), 0x07815581bf9cf968u);
    EXPECT_EQ(visitor.uid(0xffff, 0xffff, "\xff"), 0xffffffff7a0b824eu);
}

TEST(PlatformVisitorTest, ReportsMountedRemovableUsbSticksFromSysfsAndMountinfo)
{
    const struct Row {
        const char* what;
        std::vector<FakeSticks::Disk> disks; // mountDir: a folder name below the fake's media folder
        std::vector<std::string> expected; // "<mount folder> <serial> <uid>"
        std::function<void(DiscoveryConfig&)> configure = [](DiscoveryConfig&) {};
    } rows[] = {
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
        for (auto disk : row.disks) {
            if (!disk.mountDir.isEmpty())
                disk.mountDir = sticks.MountDir(disk.mountDir);
            sticks.Insert(disk);
        }
        auto config = std::make_unique<DiscoveryConfig>();
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

// The first poll comes one interval after the start; then each poll reports arrivals once, removals in uid order,
// and each period without any device once.
TEST(PollingWorkerTest, ReportsArrivalsOnceThenRemovalsInUidOrderAndEachEmptyPeriodOnce)
{
    const auto script = std::make_shared<Script>();
    DeviceDiscoveryImpl::PollingWorker worker(std::make_unique<ScriptedVisitor>(script), script->Callbacks(), 200,
        std::make_shared<DeviceDiscoveryImpl::CallbackGate>());
    worker.onStart(), QCoreApplication::processEvents();
    EXPECT_EQ(script->visits, 0);
    EXPECT_TRUE(WaitUntil([&] { return script->visits >= 1; }));
    for (const std::vector<std::uint64_t>& present :
        std::vector<std::vector<std::uint64_t>> {{}, {9, 7, 3}, {3, 7, 9}, {12, 9}, {}, {}, {5}})
        script->SetPresent(present), worker.onPollingTimeout();
    // A device forgotten is reported anew while present; one gone by then, neither way.
    for (const std::vector<std::uint64_t>& present : std::vector<std::vector<std::uint64_t>> {{5}, {}})
        worker.onForget(5), script->SetPresent(present), worker.onPollingTimeout();
    EXPECT_THAT(script->Events(),
        ::testing::ElementsAre("no device", "arrival 9", "arrival 7", "arrival 3", "arrival 12", "removal 3",
            "removal 7", "removal 9", "removal 12", "no device", "arrival 5", "arrival 5", "no device"));
}

// Each stop travels through the worker's event queue: a poll already under way must not reach an owner that has
// destroyed its notifier. Each stopped worker is deleted, the last one as the shared thread ends.
TEST(DiscoveryTest, StoppedNotifiersCallNothingMoreAndTheThreadEndsWithTheLast)
{
    auto first = std::make_shared<Script>(), second = std::make_shared<Script>();
    first->SetPresent({1}), first->holdVisits = true;
    auto firstNotifier = Start(first), secondNotifier = Start(second);
    ASSERT_TRUE(first->visitEntered.tryAcquire(1, 10000));
    firstNotifier.reset();
    first->holdVisits = false, first->visitResumed.release();
    ASSERT_TRUE(WaitUntil([&] { return first->destroyed.load(); }));
    EXPECT_TRUE(first->Events().empty());
    EXPECT_EQ(first->cleanups, 1);
    EXPECT_TRUE(Framework::instance().isThreadRunning());

    secondNotifier.reset();
    ASSERT_TRUE(WaitUntil([] { return !Framework::instance().isThreadRunning(); }));
    EXPECT_TRUE(second->destroyed) << "the last worker is deleted as the thread ends";

    auto third = std::make_shared<Script>();
    auto thirdNotifier = Start(third);
    EXPECT_TRUE(WaitUntil([&] { return third->visits > 0; })) << "the thread starts again";
}
