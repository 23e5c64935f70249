#include "LogCapture.h"

#include "Events.h"
#include "Fakes.h"
#include "StateMachine.h"
#include "States/MapUpdateCheck.h"

#include <QEventLoop>
#include <QTimer>
#include <QtTest/QTest>

#include <boost/log/core/core.hpp>
#include <boost/log/sinks/basic_sink_backend.hpp>
#include <boost/log/sinks/sync_frontend.hpp>
#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <functional>
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

} // namespace

TEST(StateMachine, EventRaisedWhileAnotherIsProcessedIsRefused)
{
#ifndef NDEBUG
    GTEST_SKIP() << "debug builds stop at the refusal's assertion";
#endif
    LogCapture log;
    StateMachine machine(FakeCollaborators(std::make_shared<Journal>()));
    machine.initiate();
    RunOnRecord("Entered MapUpdateCheck state", [&machine] { machine.process_event(Events::Quit()); });
    // The guard reports this only instance once the loop runs.
    ASSERT_TRUE(QTest::qWaitFor([&machine] { return machine.state_cast<const States::MapUpdateCheck*>() != nullptr; }));
    EXPECT_EQ(log.Count(Log::Error, "Refused Events::Quit: another event is being processed"), 1);
    EXPECT_EQ(log.Count(Log::Info, "Got Quit event"), 0);

    // The refusal leaves the machine able to process the next event.
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(1); });
    QTimer::singleShot(0, &machine, [&machine] { machine.process_event(Events::Quit()); });
    EXPECT_EQ(0, loop.exec()) << "not quit";
}
