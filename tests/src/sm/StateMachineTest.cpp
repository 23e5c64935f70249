#include "LogCapture.h"

#include "Events.h"
#include "StateMachine.h"
#include "States/Common.h"
#include "States/MapUpdateCheck.h"
#include "States/StartUp.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kLoopLimitMs = 5000;

class StateMachineTest : public ::testing::Test {
protected:
    void SetUp() override { log = LogCapture::Install(); }
    void TearDown() override { log->Uninstall(); }

    // Runs the event loop until it is told to quit; false when it had to be
    // ended by the time limit.
    static bool LoopQuits()
    {
        QEventLoop loop;
        QTimer::singleShot(kLoopLimitMs, &loop, [&loop] { loop.exit(1); });
        return loop.exec() == 0;
    }

    // Lets the guard report this (only) instance and the machine start.
    static bool Started(StateMachine& machine)
    {
        return QTest::qWaitFor(
            [&machine] { return machine.state_cast<const States::MapUpdateCheck*>() != nullptr; }, kLoopLimitMs);
    }

    boost::shared_ptr<LogCapture> log;
};

TEST_F(StateMachineTest, GuardStartEntersTheInitialStatesOfCommonOnceTheLoopRuns)
{
    StateMachine machine;
    machine.initiate();
    EXPECT_NE(machine.state_cast<const States::StartUp*>(), nullptr);
    EXPECT_EQ(log->InfoMessages(), std::vector<std::string> {"Entered StartUp state"});

    ASSERT_TRUE(Started(machine));
    const std::vector<std::string> expected {"Entered StartUp state", "Got StartUp event; switching to Common state",
        "Entered Common state", "Entered NetworkOperation state", "Entered MapUpdateCheck state"};
    EXPECT_EQ(log->InfoMessages(), expected);
}

TEST_F(StateMachineTest, RecordsNameTheWritingStateAndFunction)
{
    StateMachine machine;
    machine.initiate();
    ASSERT_TRUE(Started(machine));

    std::vector<std::string> functions;
    for (const auto& record : log->Records()) {
        if (record.severity == Log::Info)
            functions.push_back(record.function);
    }
    const std::vector<std::string> expected {"States::StartUp::StartUp", "States::StartUp::react",
        "States::Common::Common", "States::NetworkOperation::NetworkOperation",
        "States::MapUpdateCheck::MapUpdateCheck"};
    EXPECT_EQ(functions, expected);
}

TEST_F(StateMachineTest, SecondInstanceQuitsWithoutShowingAnythingAndActivatesTheFirst)
{
    StateMachine first;
    first.initiate();
    ASSERT_TRUE(Started(first));

    StateMachine second;
    second.initiate();
    EXPECT_TRUE(LoopQuits());
    EXPECT_TRUE(second.terminated());
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([this] { return log->Contains("Got Activate event"); }, kLoopLimitMs));

    // Only the first instance ever entered the running application.
    const auto messages = log->InfoMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Entered Common state"), 1);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Entered StartUp state"), 2);
    EXPECT_NE(first.state_cast<const States::MapUpdateCheck*>(), nullptr);
}

TEST_F(StateMachineTest, TerminatedMachineProcessesNothing)
{
    StateMachine machine;
    machine.initiate();
    QTimer::singleShot(0, &machine, [&machine] { machine.HandleApplicationEvent(ApplicationGuard::Quit); });
    EXPECT_TRUE(LoopQuits());
    ASSERT_TRUE(machine.terminated());

    const auto before = log->InfoMessages();
    machine.process_event(Events::StartUp());
    EXPECT_TRUE(machine.terminated());
    EXPECT_EQ(log->InfoMessages(), before);
}

TEST_F(StateMachineTest, UnknownGuardReportIsAProgrammingError)
{
    StateMachine machine;
    machine.initiate();
    try {
        machine.HandleApplicationEvent(static_cast<ApplicationGuard::Event>(3));
        FAIL() << "no error raised";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "Failed to handle application event: event is not supported");
    }
    EXPECT_NE(machine.state_cast<const States::StartUp*>(), nullptr);
}

TEST_F(StateMachineTest, EventsWithoutReactionAreDroppedSilently)
{
    StateMachine machine;
    machine.initiate();
    machine.process_event(Events::Activate()); // nothing reacts before start-up
    machine.process_event(Events::Quit());
    EXPECT_NE(machine.state_cast<const States::StartUp*>(), nullptr);
    ASSERT_TRUE(Started(machine));

    const auto before = log->Records().size();
    machine.process_event(Events::Retry());
    machine.process_event(Events::DownloadMap("map-1"));
    machine.process_event(Events::UsbFull());
    EXPECT_NE(machine.state_cast<const States::MapUpdateCheck*>(), nullptr);
    EXPECT_EQ(log->Records().size(), before);
}

TEST_F(StateMachineTest, CommonAnswersActivateAndQuit)
{
    StateMachine machine;
    machine.initiate();
    ASSERT_TRUE(Started(machine));

    machine.HandleApplicationEvent(ApplicationGuard::Activate);
    EXPECT_TRUE(log->Contains("Got Activate event"));

    QTimer::singleShot(0, &machine, [&machine] { machine.process_event(Events::Quit()); });
    EXPECT_TRUE(LoopQuits());
    EXPECT_TRUE(log->Contains("Got Quit event: quitting application"));
    EXPECT_NE(machine.state_cast<const States::MapUpdateCheck*>(), nullptr);
}

TEST_F(StateMachineTest, EventRaisedWhileAnotherIsProcessedIsRefused)
{
#ifndef NDEBUG
    GTEST_SKIP() << "debug builds stop at the refusal's assertion";
#endif
    StateMachine machine;
    machine.initiate();
    // Raise Quit from inside the entry action of MapUpdateCheck.
    log->SetHook([&machine](const LogCapture::Record& record) {
        if (record.message == "Entered MapUpdateCheck state")
            machine.process_event(Events::Quit());
    });
    ASSERT_TRUE(Started(machine));
    log->SetHook(nullptr);

    EXPECT_TRUE(log->Contains("Refused Events::Quit: another event is being processed"));
    EXPECT_FALSE(log->Contains("Got Quit event: quitting application"));
    const auto records = log->Records();
    const auto refusal = std::find_if(records.begin(), records.end(),
        [](const LogCapture::Record& record) { return record.message.rfind("Refused", 0) == 0; });
    ASSERT_NE(refusal, records.end());
    EXPECT_EQ(refusal->severity, Log::Error);

    // The machine finished the outer event and still processes the next one.
    EXPECT_NE(machine.state_cast<const States::MapUpdateCheck*>(), nullptr);
    QTimer::singleShot(0, &machine, [&machine] { machine.process_event(Events::Quit()); });
    EXPECT_TRUE(LoopQuits());
    EXPECT_TRUE(log->Contains("Got Quit event: quitting application"));
}

TEST_F(StateMachineTest, MachineStaysUsableAfterAnEventFailed)
{
    StateMachine machine;
    machine.initiate();
    log->SetHook([](const LogCapture::Record& record) {
        if (record.message == "Entered NetworkOperation state")
            throw std::runtime_error("entry failed");
    });
    EXPECT_THROW(machine.HandleApplicationEvent(ApplicationGuard::StartUp), std::runtime_error);
    log->SetHook(nullptr);
    EXPECT_TRUE(machine.terminated());

    // Neither starting again nor tearing down is taken for a nested event.
    machine.initiate();
    EXPECT_NE(machine.state_cast<const States::StartUp*>(), nullptr);
    machine.terminate();
    EXPECT_TRUE(machine.terminated());
    for (const auto& record : log->Records())
        EXPECT_NE(record.severity, Log::Error) << record.message;
}

} // namespace
