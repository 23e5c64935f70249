#include "CallbackRecorder.h"
#include "ScriptedVisitor.h"

#include "DeviceDiscoveryImpl/PollingWorker.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using DeviceDiscoveryImpl::CallbackGate;
using DeviceDiscoveryImpl::PollingWorker;
using ::testing::ElementsAre;

namespace {

// Drives a worker directly on the test thread: polls happen when the test calls onPollingTimeout.
class PollingWorkerTest : public ::testing::Test {
protected:
    void Poll(std::vector<std::uint64_t> uids)
    {
        std::vector<DeviceDiscovery::DeviceProperties> devices;
        for (const std::uint64_t uid : uids)
            devices.push_back(ScriptedVisitor::Device(uid));
        m_script->SetPresent(devices);
        m_worker.onPollingTimeout();
    }

    std::shared_ptr<ScriptedVisitor::Script> m_script = std::make_shared<ScriptedVisitor::Script>();
    std::shared_ptr<CallbackGate> m_gate = std::make_shared<CallbackGate>();
    CallbackRecorder m_recorder;
    PollingWorker m_worker {std::make_unique<ScriptedVisitor>(m_script), m_recorder.Callbacks(), 200, m_gate};
};

} // namespace

TEST_F(PollingWorkerTest, ReportsEachArrivalOnceInTheOrderOfTheList)
{
    Poll({7, 3});
    // Still there, or pulled and put back between two polls: nothing to report.
    Poll({3, 7});
    Poll({7, 3});

    EXPECT_THAT(m_recorder.Events(), ElementsAre("arrival 7", "arrival 3"));
    ASSERT_EQ(m_recorder.Arrivals().size(), 2u);
    EXPECT_EQ(m_recorder.Arrivals()[0].path, "/media/stick7");
}

TEST_F(PollingWorkerTest, ReportsArrivalsBeforeRemovalsAndRemovalsInAscendingUidOrder)
{
    Poll({9, 7, 3});
    Poll({12, 9});
    Poll({9, 12, 3});

    EXPECT_THAT(m_recorder.Events(),
        ElementsAre("arrival 9", "arrival 7", "arrival 3", "arrival 12", "removal 3", "removal 7", "arrival 3"));
}

TEST_F(PollingWorkerTest, ReportsTheAbsenceOfDevicesOncePerPeriodWithoutAny)
{
    Poll({});
    Poll({});
    Poll({5});
    Poll({});
    Poll({});

    EXPECT_THAT(m_recorder.Events(), ElementsAre("no device", "arrival 5", "removal 5", "no device"));
}

TEST_F(PollingWorkerTest, SkipsCallbacksThatAreNotSet)
{
    PollingWorker worker(std::make_unique<ScriptedVisitor>(m_script), DeviceDiscoveryImpl::Callbacks(), 200, m_gate);
    m_script->SetPresent({ScriptedVisitor::Device(1)});
    worker.onPollingTimeout();
    m_script->SetPresent({});
    worker.onPollingTimeout();

    EXPECT_EQ(m_script->visits, 2);
}

TEST_F(PollingWorkerTest, PollsTheFirstTimeOneIntervalAfterTheStart)
{
    m_worker.onStart();
    m_worker.onStart();
    QCoreApplication::processEvents();

    const QList<QTimer*> timers = m_worker.findChildren<QTimer*>();
    ASSERT_EQ(timers.size(), 1) << "a second start is ignored";
    EXPECT_TRUE(timers[0]->isActive());
    EXPECT_EQ(timers[0]->interval(), 200);
    EXPECT_EQ(m_script->visits, 0) << "no poll at once";

    EXPECT_TRUE(QTest::qWaitFor([&] { return m_script->visits >= 2; }, 5000));
    EXPECT_THAT(m_recorder.Events(), ElementsAre("no device"));
}

TEST_F(PollingWorkerTest, StoppingEndsPollingAndCleansUpOnce)
{
    QSignalSpy stopped(&m_worker, &PollingWorker::stopped);
    m_worker.onStop(); // not running yet: nothing to stop
    m_worker.onStart();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_script->visits >= 1; }, 5000));

    m_worker.onStop();
    m_worker.onStop();
    EXPECT_TRUE(stopped.wait(5000));
    const int visits = m_script->visits;
    QTest::qWait(500);

    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(m_script->cleanups, 1);
    EXPECT_EQ(m_script->visits, visits);
}
