#include "ApplicationGuard.h"
#include "LogCapture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Event = ApplicationGuard::Event;

// A guard's reports as they arrive on this thread.
struct Reports {
    explicit Reports(ApplicationGuard& guard)
        : spy(&guard, &ApplicationGuard::ApplicationEvent)
    {
    }

    // Waits (a few seconds at most) until `count` reports arrived.
    std::vector<Event> WaitFor(int count)
    {
        while (spy.count() < count && spy.wait(5000)) { }
        std::vector<Event> events;
        for (const auto& arguments : spy)
            events.push_back(arguments.at(0).value<Event>());
        return events;
    }

    QSignalSpy spy;
};

class Guards : public ::testing::Test {
protected:
    std::unique_ptr<ApplicationGuard> Make() { return std::make_unique<ApplicationGuard>(nullptr, dir.path()); }

    // Starts the guard and gives its first report.
    static Event StartAndReport(ApplicationGuard& guard)
    {
        Reports reports(guard);
        guard.Start();
        const auto events = reports.WaitFor(1);
        return events.empty() ? static_cast<Event>(-1) : events.front();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(Guards, LaterStartsQuitAndActivateTheFirst)
{
    auto first = Make();
    Reports firstReports(*first);
    first->Start();
    for (int start = 1; start <= 3; ++start) {
        ASSERT_EQ(firstReports.WaitFor(start).size(), static_cast<std::size_t>(start));
        EXPECT_EQ(StartAndReport(*Make()), ApplicationGuard::Quit);
    }
    EXPECT_EQ(firstReports.WaitFor(4),
        (std::vector<Event> {ApplicationGuard::StartUp, ApplicationGuard::Activate, ApplicationGuard::Activate,
            ApplicationGuard::Activate}));
}

TEST_F(Guards, StoppingTheFirstEndsItsThreadAndFreesTheEvent)
{
    LogCapture log;
    {
        auto first = Make();
        ASSERT_EQ(StartAndReport(*first), ApplicationGuard::StartUp);
        EXPECT_EQ(StartAndReport(*Make()), ApplicationGuard::Quit);
        // The guard that quit holds no event: its end is silent.
        EXPECT_EQ(log.Count(Log::Debug, "Stopping application guard"), 0);
    }
    EXPECT_EQ(log.Count(Log::Debug, "Stopping application guard"), 1);
    EXPECT_EQ(log.Count(Log::Debug, "Application guard stopped"), 1);
    EXPECT_EQ(StartAndReport(*Make()), ApplicationGuard::StartUp);
}

// Destroying a guard at any point of its thread's work must neither abort
// (a running thread object) nor hang (a stop that came too early).
TEST_F(Guards, DestroyingRightAfterTheStartIsSafe)
{
    auto first = Make();
    for (int i = 0; i < 300; ++i)
        Make()->Start();
    first->Start();
    for (int i = 0; i < 300; ++i)
        Make()->Start();
}

TEST_F(Guards, SimultaneousStartsGiveExactlyOneFirstInstance)
{
    std::vector<std::unique_ptr<ApplicationGuard>> guards;
    std::vector<std::unique_ptr<Reports>> reports;
    for (int i = 0; i < 8; ++i) {
        guards.push_back(Make());
        reports.push_back(std::make_unique<Reports>(*guards.back()));
    }
    for (auto& guard : guards)
        guard->Start();
    int starts = 0;
    for (auto& report : reports)
        starts += report->WaitFor(1).at(0) == ApplicationGuard::StartUp;
    EXPECT_EQ(starts, 1);
}

TEST_F(Guards, AnEventThatCannotBeCreatedMeansQuit)
{
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    LogCapture log;
    ApplicationGuard guard(nullptr, file.fileName());
    EXPECT_EQ(StartAndReport(guard), ApplicationGuard::Quit);
    EXPECT_EQ(log.Count(Log::Error, "Failed to register system event, error code: " + std::to_string(ENOTDIR)), 1);
}
