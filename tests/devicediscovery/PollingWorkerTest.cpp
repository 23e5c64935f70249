#include "CallbackRecorder.h"
#include "ScriptedVisitor.h"

#include "DeviceDiscoveryImpl/PollingWorker.h"

#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using DeviceDiscoveryImpl::PollingWorker;
using ::testing::ElementsAre;

namespace {

class PollingWorkerTest : public ::testing::Test {
protected:
    std::shared_ptr<ScriptedVisitor::Script> m_script = std::make_shared<ScriptedVisitor::Script>();
    CallbackRecorder m_recorder;
    PollingWorker m_worker {std::make_unique<ScriptedVisitor>(m_script), m_recorder.Callbacks(), 200,
        std::make_shared<DeviceDiscoveryImpl::CallbackGate>()};
};

} // namespace

TEST_F(PollingWorkerTest, ReportsArrivalsOnceThenRemovalsInUidOrderAndEachEmptyPeriodOnce)
{
    for (const std::vector<std::uint64_t>& present :
        std::vector<std::vector<std::uint64_t>> {{}, {}, {9, 7, 3}, {3, 7, 9}, {12, 9}, {}, {}, {5}}) {
        m_script->SetPresent(present);
        m_worker.onPollingTimeout();
    }
    EXPECT_THAT(m_recorder.Events(),
        ElementsAre("no device", "arrival 9", "arrival 7", "arrival 3", "arrival 12", "removal 3", "removal 7",
            "removal 9", "removal 12", "no device", "arrival 5"));
}

TEST_F(PollingWorkerTest, PollsTheFirstTimeOneIntervalAfterTheStart)
{
    m_worker.onStart();
    QCoreApplication::processEvents();
    EXPECT_EQ(m_script->visits, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_script->visits >= 1; }, 5000));
}
