#include "CallbackRecorder.h"
#include "ScriptedVisitor.h"

#include "DeviceDiscoveryImpl/Framework.h"

#include <QTest>

#include <gtest/gtest.h>

using DeviceDiscoveryImpl::Framework;
using Script = ScriptedVisitor::Script;

namespace {

std::unique_ptr<DeviceDiscovery::DiscoveryNotifier> Start(
    const std::shared_ptr<Script>& script, const DeviceDiscoveryImpl::Callbacks& callbacks = {})
{
    return Framework::instance().createNotifier(callbacks, std::make_unique<ScriptedVisitor>(script), 20);
}

bool WaitUntil(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 10000);
}

} // namespace

// The stop travels through the worker's event queue; a poll already under way must not reach an owner that has
// destroyed its notifier.
TEST(DiscoveryTest, NoCallbackRunsOnceTheNotifierIsDestroyed)
{
    auto script = std::make_shared<Script>();
    script->SetPresent({1});
    script->holdVisits = true;
    CallbackRecorder recorder;
    auto notifier = Start(script, recorder.Callbacks());
    ASSERT_TRUE(script->visitEntered.tryAcquire(1, 10000));

    notifier.reset();
    script->holdVisits = false;
    script->visitResumed.release();
    ASSERT_TRUE(WaitUntil([&] { return script->destroyed.load(); }));
    EXPECT_TRUE(recorder.Events().empty());
    EXPECT_EQ(script->cleanups, 1);
}

TEST(DiscoveryTest, StoppedWorkersAreDeletedAndTheThreadEndsWithTheLast)
{
    auto first = std::make_shared<Script>();
    auto second = std::make_shared<Script>();
    auto firstNotifier = Start(first);
    auto secondNotifier = Start(second);
    firstNotifier.reset();
    ASSERT_TRUE(WaitUntil([&] { return first->destroyed.load(); }));
    EXPECT_TRUE(Framework::instance().isThreadRunning());

    secondNotifier.reset();
    ASSERT_TRUE(WaitUntil([] { return !Framework::instance().isThreadRunning(); }));
    EXPECT_TRUE(second->destroyed) << "the last worker is deleted as the thread ends";

    auto third = std::make_shared<Script>();
    auto thirdNotifier = Start(third);
    EXPECT_TRUE(WaitUntil([&] { return third->visits > 0; })) << "the thread starts again";
}
