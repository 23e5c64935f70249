#include "ApplicationGuard.h"
#include "LogCapture.h"
#include "NamedEvent.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Events = std::vector<ApplicationGuard::Event>;

// Collects a guard's reports as they arrive on this thread.
struct Reports {
    explicit Reports(ApplicationGuard& guard)
        : spy(&guard, &ApplicationGuard::ApplicationEvent)
    {
    }

    // Waits until `count` reports arrived (or a few seconds passed).
    Events WaitFor(int count)
    {
        while (spy.count() < count && spy.wait(5000)) { }
        Events events;
        for (const auto& arguments : spy)
            events.push_back(arguments.at(0).value<ApplicationGuard::Event>());
        return events;
    }

    QSignalSpy spy;
};

class Guards : public ::testing::Test {
protected:
    std::unique_ptr<ApplicationGuard> Make() { return std::make_unique<ApplicationGuard>(nullptr, dir.path()); }

    // Starts the guard and gives its first report.
    static ApplicationGuard::Event StartAndReport(ApplicationGuard& guard)
    {
        Reports reports(guard);
        guard.Start();
        const Events events = reports.WaitFor(1);
        return events.empty() ? static_cast<ApplicationGuard::Event>(-1) : events.front();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(Guards, LaterStartsQuitAndActivateTheFirst)
{
    auto first = Make();
    Reports firstReports(*first);
    first->Start();
    ASSERT_EQ(firstReports.WaitFor(1), Events {ApplicationGuard::StartUp});

    for (int start = 1; start <= 3; ++start) {
        auto later = Make();
        EXPECT_EQ(StartAndReport(*later), ApplicationGuard::Quit);
        EXPECT_EQ(firstReports.WaitFor(1 + start).size(), static_cast<std::size_t>(1 + start));
    }
    EXPECT_EQ(firstReports.WaitFor(4),
        (Events {ApplicationGuard::StartUp, ApplicationGuard::Activate, ApplicationGuard::Activate,
            ApplicationGuard::Activate}));
}

TEST_F(Guards, StoppingTheFirstEndsItsThreadAndFreesTheEvent)
{
    LogCapture log;
    {
        auto first = Make();
        ASSERT_EQ(StartAndReport(*first), ApplicationGuard::StartUp);
    }
    EXPECT_EQ(log.Count(Log::Debug, "Stopping application guard"), 1);
    EXPECT_EQ(log.Count(Log::Debug, "Application guard stopped"), 1);
    EXPECT_EQ(log.Count(Log::Debug, "System event signalled"), 0);

    auto next = Make();
    EXPECT_EQ(StartAndReport(*next), ApplicationGuard::StartUp);
}

TEST_F(Guards, ASecondInstanceStopsSilently)
{
    auto first = Make();
    ASSERT_EQ(StartAndReport(*first), ApplicationGuard::StartUp);
    LogCapture log;
    {
        auto second = Make();
        ASSERT_EQ(StartAndReport(*second), ApplicationGuard::Quit);
    }
    EXPECT_EQ(log.Count(Log::Debug, "Stopping application guard"), 0);
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
    SUCCEED();
}

TEST_F(Guards, SimultaneousStartsGiveExactlyOneFirstInstance)
{
    constexpr int kGuards = 8;
    std::vector<std::unique_ptr<ApplicationGuard>> guards;
    std::vector<std::unique_ptr<Reports>> reports;
    for (int i = 0; i < kGuards; ++i) {
        guards.push_back(Make());
        reports.push_back(std::make_unique<Reports>(*guards.back()));
    }
    for (auto& guard : guards)
        guard->Start();
    int starts = 0;
    int quits = 0;
    for (auto& report : reports) {
        const Events events = report->WaitFor(1);
        ASSERT_FALSE(events.empty());
        starts += events.front() == ApplicationGuard::StartUp;
        quits += events.front() == ApplicationGuard::Quit;
    }
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(quits, kGuards - 1);
}

TEST_F(Guards, AnEventThatCannotBeCreatedMeansQuit)
{
    const QString notAFolder = dir.path() + "/file";
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    LogCapture log;
    ApplicationGuard guard(nullptr, notAFolder);
    EXPECT_EQ(StartAndReport(guard), ApplicationGuard::Quit);
    EXPECT_EQ(log.Count(Log::Error, "Failed to register system event, error code: " + std::to_string(ENOTDIR)), 1);
}

// The kernel drops a dead owner's lock, so the next start becomes first.
TEST_F(Guards, AKilledOwnerLeavesNoStaleEvent)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        NamedEvent event(dir.path(), "TESSALY_SINGLE_INSTANCE_MUTEX");
        int error = 0;
        const char ok = !event.Open() && event.Create(error);
        (void)!::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_TRUE(ok);
    {
        auto second = Make();
        EXPECT_EQ(StartAndReport(*second), ApplicationGuard::Quit);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    auto next = Make();
    EXPECT_EQ(StartAndReport(*next), ApplicationGuard::StartUp);
}
