#include "CallbackRecorder.h"
#include "FakeStick.h"
#include "ScriptedVisitor.h"

#include "DeviceDiscovery.h"
#include "DeviceDiscoveryImpl/Framework.h"

#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using DeviceDiscoveryImpl::Framework;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::uint16_t kFastIntervalMs = 20;

std::unique_ptr<DeviceDiscovery::DiscoveryConfig> ConfigFor(CallbackRecorder& recorder)
{
    const DeviceDiscoveryImpl::Callbacks callbacks = recorder.Callbacks();
    auto config = DeviceDiscovery::createConfig();
    config->setArrivalCallback(callbacks.arrival);
    config->setRemovalCallback(callbacks.removal);
    config->setNoDeviceCallback(callbacks.noDevice);
    return config;
}

bool WaitUntil(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 10000);
}

class ForeignConfig : public DeviceDiscovery::DiscoveryConfig {
public:
    void setArrivalCallback(DeviceDiscovery::ArrivalCallback) override { }
    void setRemovalCallback(DeviceDiscovery::RemovalCallback) override { }
    void setNoDeviceCallback(DeviceDiscovery::NoDeviceCallback) override { }
    void addDeviceType(std::uint16_t) override { }
    void addProductId(std::uint16_t) override { }
    void addVendorId(std::uint16_t) override { }
};

} // namespace

TEST(DiscoveryTest, ReportsSticksArrivingAndLeavingOnTheDiscoveryThread)
{
    FakeSticks sticks;
    QTemporaryDir mounts;
    const QString block = sticks.Insert(mounts.filePath("STICK"), "4C530001", "0781", "5581");
    CallbackRecorder recorder;
    QThread* callbackThread = nullptr;
    auto config = ConfigFor(recorder);
    const DeviceDiscovery::ArrivalCallback record = recorder.Callbacks().arrival;
    config->setArrivalCallback([&, record](const DeviceDiscovery::DeviceProperties& device) {
        callbackThread = QThread::currentThread();
        record(device);
    });
    config->addDeviceType(DeviceDiscovery::MassStorage);
    auto notifier = DeviceDiscovery::startDiscovery(std::move(config), kFastIntervalMs);
    ASSERT_TRUE(notifier);

    ASSERT_TRUE(recorder.WaitForEvents(1));
    sticks.Remove(block);
    ASSERT_TRUE(recorder.WaitForEvents(3));
    notifier.reset();

    const std::string uid = std::to_string(0x558155815d7b8f47u);
    EXPECT_THAT(recorder.Events(), ElementsAre("arrival " + uid, "removal " + uid, "no device"));
    EXPECT_EQ(recorder.Arrivals()[0].path, mounts.filePath("STICK").toStdString());
    EXPECT_NE(callbackThread, QThread::currentThread());
}

TEST(DiscoveryTest, AForeignConfigGivesNoNotifier)
{
    EXPECT_FALSE(DeviceDiscovery::startDiscovery(std::make_unique<ForeignConfig>(), kFastIntervalMs));
    EXPECT_FALSE(DeviceDiscovery::startDiscovery(nullptr, kFastIntervalMs));
}

// The stop travels through the worker's event queue; a poll already under way must still not reach an owner
// that has destroyed its notifier.
TEST(DiscoveryTest, NoCallbackRunsOnceTheNotifierIsDestroyed)
{
    auto script = std::make_shared<ScriptedVisitor::Script>();
    script->SetPresent({ScriptedVisitor::Device(1)});
    script->holdVisits = true;
    CallbackRecorder recorder;
    auto notifier = Framework::instance().createNotifier(
        recorder.Callbacks(), std::make_unique<ScriptedVisitor>(script), kFastIntervalMs);
    ASSERT_TRUE(script->visitEntered.tryAcquire(1, 10000));

    notifier.reset();
    script->holdVisits = false;
    script->visitResumed.release();
    ASSERT_TRUE(WaitUntil([&] { return script->destroyed.load(); }));

    EXPECT_THAT(recorder.Events(), IsEmpty());
    EXPECT_EQ(script->cleanups, 1);
}

TEST(DiscoveryTest, TheThreadRunsWhileAnyDiscoveryRunsAndStartsAgainAfterwards)
{
    const auto start = [](const std::shared_ptr<ScriptedVisitor::Script>& script) {
        return Framework::instance().createNotifier({}, std::make_unique<ScriptedVisitor>(script), kFastIntervalMs);
    };
    auto first = std::make_shared<ScriptedVisitor::Script>();
    auto second = std::make_shared<ScriptedVisitor::Script>();
    auto firstNotifier = start(first);
    auto secondNotifier = start(second);
    EXPECT_TRUE(Framework::instance().isThreadRunning());

    firstNotifier.reset();
    ASSERT_TRUE(WaitUntil([&] { return first->destroyed.load(); })) << "a stopped worker is deleted";
    const int visits = second->visits;
    EXPECT_TRUE(WaitUntil([&] { return second->visits > visits; }));
    EXPECT_TRUE(Framework::instance().isThreadRunning());

    secondNotifier.reset();
    ASSERT_TRUE(WaitUntil([] { return !Framework::instance().isThreadRunning(); }));
    EXPECT_TRUE(second->destroyed) << "the last worker is deleted as the thread ends";

    auto third = std::make_shared<ScriptedVisitor::Script>();
    auto thirdNotifier = start(third);
    EXPECT_TRUE(WaitUntil([&] { return third->visits > 0; }));
}
