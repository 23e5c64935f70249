#include "ApplicationGuard.h"
#include "LogCapture.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Event = ApplicationGuard::Event;

// A guard's reports as the program takes them: through a queued connection to
// an object of this thread, which may go while the guard's thread still reports.
struct Reports : QObject {
    explicit Reports(ApplicationGuard& guard)
    {
        const auto take = [this](Event event) {
            events.push_back(event);
            arrival.quit();
        };
        connect(&guard, &ApplicationGuard::ApplicationEvent, this, take, Qt::QueuedConnection);
    }
    // Waits (a few seconds at most) until `count` reports arrived.
    std::vector<Event> WaitFor(std::size_t count)
    {
        QTimer limit;
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &arrival, &QEventLoop::quit);
        limit.start(5000);
        while (events.size() < count && limit.isActive())
            arrival.exec();
        return events;
    }
    std::vector<Event> events;
    QEventLoop arrival;
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

// Once the first instance has ended, the next start is the first again.
TEST_F(Guards, LaterStartsQuitAndActivateTheFirst)
{
    {
        auto first = Make();
        Reports firstReports(*first);
        first->Start();
        for (int start = 1; start <= 2; ++start) {
            ASSERT_EQ(firstReports.WaitFor(start).size(), static_cast<std::size_t>(start));
            EXPECT_EQ(StartAndReport(*Make()), ApplicationGuard::Quit);
        }
        EXPECT_EQ(firstReports.WaitFor(3),
            (std::vector<Event> {ApplicationGuard::StartUp, ApplicationGuard::Activate, ApplicationGuard::Activate}));
    }
    EXPECT_EQ(StartAndReport(*Make()), ApplicationGuard::StartUp);
}

// Destroying a guard at any point of its thread's work, also while a later
// start signals it, must neither abort (a running thread object), nor hang (a
// stop that came too early), nor report to a receiver that has gone.
TEST_F(Guards, DestroyingAtAnyPointIsSafe)
{
    auto first = Make();
    for (int i = 0; i < 300; ++i)
        Make()->Start();
    first->Start();
    for (int i = 0; i < 300; ++i)
        Make()->Start();
    first.reset();
    for (int round = 0; round < 1000; ++round) {
        auto owner = Make();
        auto reports = std::make_unique<Reports>(*owner);
        owner->Start();
        ASSERT_EQ(reports->WaitFor(1), std::vector<Event> {ApplicationGuard::StartUp});
        Make()->Start();
        reports.reset();
    }
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

// Only the first instance holds the event: its stop is recorded as such, and is never taken for an activation; a
// later instance's guard, which holds nothing, stops without a record.
TEST_F(Guards, OnlyTheFirstInstanceRecordsItsStop)
{
    const LogCapture log;
    const auto messages = [&log] {
        std::vector<std::string> texts;
        for (const auto& record : log.Records())
            texts.push_back(record.message);
        return texts;
    };
    auto first = Make();
    Reports firstReports(*first);
    first->Start();
    ASSERT_EQ(firstReports.WaitFor(1).size(), 1u);
    EXPECT_EQ(StartAndReport(*Make()), ApplicationGuard::Quit);
    ASSERT_EQ(firstReports.WaitFor(2).size(), 2u);
    EXPECT_EQ(log.Count(Log::Debug, "Stopping application guard"), 0);

    const std::size_t beforeStop = messages().size();
    first.reset();
    const std::vector<std::string> all = messages();
    const std::vector<std::string> stop(all.begin() + static_cast<long>(beforeStop), all.end());
    EXPECT_EQ(stop, (std::vector<std::string> {"Stopping application guard", "Application guard stopped"}));
    EXPECT_EQ(log.Count(Log::Debug, "System event signalled"), 1);
}

TEST_F(Guards, AnEventThatCannotBeCreatedMeansQuit)
{
    ASSERT_TRUE(QFile(dir.filePath("file")).open(QIODevice::WriteOnly));
    ApplicationGuard guard(nullptr, dir.filePath("file"));
    EXPECT_EQ(StartAndReport(guard), ApplicationGuard::Quit);
}

// Another program of the user floods the event: the bytes that come together
// are one or a few activations, and nothing is queued or kept per byte.
TEST_F(Guards, AFloodOfSignalsIsOneActivation)
{
    const auto resident = [] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages >> pages;
        return pages * ::sysconf(_SC_PAGESIZE);
    };
    auto first = Make();
    Reports reports(*first);
    first->Start();
    ASSERT_EQ(reports.WaitFor(1).size(), 1u);
    const long before = resident();

    const int fifo = ::open(QFile::encodeName(dir.filePath("TESSALY_SINGLE_INSTANCE_MUTEX.fifo")), O_WRONLY);
    ASSERT_GE(fifo, 0);
    const std::string bytes(1000, '\1');
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(::write(fifo, bytes.data(), bytes.size()), 1000);
    int unread = 1;
    for (int i = 0; i < 1000 && ::ioctl(fifo, FIONREAD, &unread) == 0 && unread > 0; ++i)
        QThread::msleep(10);
    ::close(fifo);
    EXPECT_EQ(unread, 0);
    EXPECT_LT(resident() - before, 20L << 20);

    ASSERT_GE(reports.WaitFor(2).size(), 2u);
    first.reset();
    QCoreApplication::processEvents();
    EXPECT_LE(reports.events.size(), 6u);
}

// Without XDG_RUNTIME_DIR the event lives in "<temp>/runtime-<user>", which is
// made, or kept, private; one that another user made, a symbolic link or a
// file there is refused with the reason, never followed or shared.
TEST_F(Guards, WithoutARuntimeFolderTheTemporaryOneIsPrivateOrRefused)
{
    const QString folder = dir.filePath("runtime-" + QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name));
    const QString own = dir.filePath("own");
    ASSERT_TRUE(QDir().mkdir(own));
    const struct {
        const char* reason; // empty: the guard starts there
        std::function<bool()> make;
    } cases[] = {
        {"", [] { return true; }},
        {"", [&] { return QDir().mkdir(folder) && ::chmod(QFile::encodeName(folder), 0755) == 0; }},
        {"belongs to user id 12345",
            [&] { return QDir().mkdir(folder) && ::chown(QFile::encodeName(folder), 12345, 12345) == 0; }},
        {"is a symbolic link", [&] { return QFile::link(own, folder); }},
        {"is not a folder", [&] { return QFile(folder).open(QIODevice::WriteOnly); }},
    };
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(dir.path()));
    for (const auto& [reason, make] : cases) {
        SCOPED_TRACE(reason);
        ASSERT_TRUE(make());
        try {
            ApplicationGuard guard;
            EXPECT_EQ(StartAndReport(guard), ApplicationGuard::StartUp);
            struct stat info { };
            EXPECT_EQ(::lstat(QFile::encodeName(folder), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, 0700u);
            EXPECT_EQ(*reason, '\0');
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
            EXPECT_NE(*reason, '\0');
        }
        QFile::remove(folder);
        QDir(folder).removeRecursively();
    }
    qputenv("XDG_RUNTIME_DIR", runtime);
    qunsetenv("TMPDIR");
}
