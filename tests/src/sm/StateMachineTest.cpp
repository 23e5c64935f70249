#include "LogCapture.h"

#include "Events.h"
#include "Fakes.h"
#include "StateMachine.h"
#include "States/MapUpdateCheck.h"
#include "States/StartUp.h"

#include <QEventLoop>
#include <QTimer>
#include <QtTest/QTest>

#include <boost/log/core/core.hpp>
#include <boost/log/sinks/basic_sink_backend.hpp>
#include <boost/log/sinks/sync_frontend.hpp>
#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// Runs an action once, from inside the record with the message, i.e. while
// the machine is in the middle of processing an event.
struct OnRecord : boost::log::sinks::basic_sink_backend<boost::log::sinks::synchronized_feeding> {
    void consume(const boost::log::record_view& view)
    {
        if (boost::log::extract_or_default<std::string>("Message", view, std::string()) == message && action)
            std::exchange(action, nullptr)();
    }
    std::string message;
    std::function<void()> action;
};

void RunOnRecord(std::string message, std::function<void()> action)
{
    boost::log::core::get()->add_sink(boost::make_shared<boost::log::sinks::synchronous_sink<OnRecord>>(
        boost::shared_ptr<OnRecord>(new OnRecord {{}, std::move(message), std::move(action)})));
}

// Runs the event loop until it is told to quit; false when the time ran out.
bool LoopQuits()
{
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(1); });
    return loop.exec() == 0;
}

Collaborators Fakes()
{
    return FakeCollaborators(std::make_shared<Journal>());
}

// The guard reports this (only) instance once the loop runs.
bool Started(StateMachine& machine)
{
    return QTest::qWaitFor([&machine] { return machine.state_cast<const States::MapUpdateCheck*>() != nullptr; });
}

} // namespace

// An event that no state reacts to is dropped without a record.
TEST(StateMachine, GuardStartEntersCommonOnceTheLoopRunsAndUnhandledEventsAreDropped)
{
    LogCapture log;
    StateMachine machine(Fakes());
    machine.initiate();
    EXPECT_NE(machine.state_cast<const States::StartUp*>(), nullptr);
    ASSERT_TRUE(Started(machine));
    EXPECT_EQ(log.Count(Log::Info, "Entered Common state"), 1);

    const auto before = log.Records().size();
    machine.process_event(Events::Retry());
    EXPECT_NE(machine.state_cast<const States::MapUpdateCheck*>(), nullptr);
    EXPECT_EQ(log.Records().size(), before);
}

TEST(StateMachine, UnknownGuardReportIsAProgrammingError)
{
    StateMachine machine(Fakes());
    machine.initiate();
    EXPECT_THROW(machine.HandleApplicationEvent(static_cast<ApplicationGuard::Event>(3)), std::logic_error);
}

TEST(StateMachine, EventRaisedWhileAnotherIsProcessedIsRefused)
{
#ifndef NDEBUG
    GTEST_SKIP() << "debug builds stop at the refusal's assertion";
#endif
    LogCapture log;
    StateMachine machine(Fakes());
    machine.initiate();
    RunOnRecord("Entered MapUpdateCheck state", [&machine] { machine.process_event(Events::Quit()); });
    ASSERT_TRUE(Started(machine));
    EXPECT_EQ(log.Count(Log::Error, "Refused Events::Quit: another event is being processed"), 1);
    EXPECT_EQ(log.Count(Log::Info, "Got Quit event"), 0);

    // The refusal leaves the machine able to process the next event.
    QTimer::singleShot(0, &machine, [&machine] { machine.process_event(Events::Quit()); });
    EXPECT_TRUE(LoopQuits());
}
