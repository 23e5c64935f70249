#include "ApplicationGuard.h"
#include "Autostart.h"
#include "LogCapture.h"
#include "NamedEvent.h"
#include "Taskbar.h"
#include "TestFiles.h"
#include "TestHome.h"
#include "TrayArea.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <thread>

#include <sys/ioctl.h>

namespace {

using Event = ApplicationGuard::Event;
using Events = std::vector<Event>;

// A guard's reports as the program takes them: queued to an object that may go while the guard's thread reports.
struct Reports : QObject {
    explicit Reports(ApplicationGuard& guard, bool start = true)
    {
        connect(
            &guard, &ApplicationGuard::ApplicationEvent, this,
            [this](Event event) { events.push_back(event), arrival.quit(); }, Qt::QueuedConnection);
        if (start)
            guard.Start();
    }
    Events WaitFor(std::size_t count)
    {
        const QDeadlineTimer deadline(4500); // the timer may come up to 5 % early
        QTimer::singleShot(5000, &arrival, &QEventLoop::quit); // an earlier call's only wakes a loop that checks again
        while (events.size() < count && !deadline.hasExpired())
            arrival.exec();
        return events;
    }
    Events events;
    QEventLoop arrival;
};

struct Guards : ::testing::Test {
    std::unique_ptr<ApplicationGuard> Make() { return std::make_unique<ApplicationGuard>(nullptr, dir.path()); }
    // The program's own runtime folder and the session folder, with TMPDIR and TESSALY_RUN_ROOT in the test's folder.
    QString OwnFolder() const { return TestHome::OwnRuntimeFolder(dir.path()); }
    QString SessionFolder() const { return dir.filePath("run/user/" + QString::number(::geteuid())); }
    static bool Private(const QString& at, mode_t mode = 0700)
    {
        return QDir().mkpath(at) && ::chmod(QFile::encodeName(at), mode) == 0;
    }
    static bool Foreign(const QString& at) { return Private(at) && ::chown(QFile::encodeName(at), 12345, 12345) == 0; }
    // Sets the variables of a start, and the current folder it is started from; restores them when it goes.
    struct Start {
        Start(const QByteArray& runtime, const QString& temp, const QString& from = QString())
        {
            if (!from.isEmpty())
                QDir::setCurrent(from);
            for (const auto& [name, value] : {std::pair {"XDG_RUNTIME_DIR", runtime},
                     {"TMPDIR", QFile::encodeName(temp)}, {"TESSALY_RUN_ROOT", QFile::encodeName(temp + "/run")}})
                value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
        }
        ~Start()
        {
            QDir::setCurrent(current);
            for (const auto& [name, value] : saved)
                value.isNull() ? qunsetenv(name) : qputenv(name, value);
        }
        const QString current = QDir::currentPath();
        const std::pair<const char*, QByteArray> saved[3] = {{"XDG_RUNTIME_DIR", qgetenv("XDG_RUNTIME_DIR")},
            {"TMPDIR", qgetenv("TMPDIR")}, {"TESSALY_RUN_ROOT", qgetenv("TESSALY_RUN_ROOT")}};
    };
    QTemporaryDir dir;
};

} // namespace

// Only the first instance holds the event: its stop is recorded and never taken for an activation; a later one stops
// without a record. Once the first has ended, the next start is the first again.
TEST_F(Guards, LaterOrSimultaneousStartsLeaveOneFirstInstanceAndAnyPointIsSafeForTheTeardown)
{
    const LogCapture log;
    auto first = Make();
    Reports firstReports(*first);
    for (std::size_t start = 1; start <= 2; ++start) {
        ASSERT_EQ(firstReports.WaitFor(start).size(), start);
        EXPECT_EQ(Reports(*Make()).WaitFor(1).at(0), ApplicationGuard::Quit);
    }
    EXPECT_EQ(firstReports.WaitFor(3),
        (Events {ApplicationGuard::StartUp, ApplicationGuard::Activate, ApplicationGuard::Activate}));
    first.reset();
    EXPECT_EQ(
        log.Count(Log::Debug, "Stopping application guard") + log.Count(Log::Debug, "Application guard stopped"), 2);
    EXPECT_EQ(log.Count(Log::Debug, "System event signalled"), 2);
    EXPECT_EQ(Reports(*Make()).WaitFor(1).at(0), ApplicationGuard::StartUp);
    ApplicationGuard onAFile(nullptr, dir.filePath("TESSALY_SINGLE_INSTANCE_MUTEX.lock")); // no event in a file
    EXPECT_EQ(Reports(onAFile).WaitFor(1).at(0), ApplicationGuard::Quit);

    // Of simultaneous starts one is the first. Destroying a guard at any point of its thread's work, also while a
    // later start signals it, must neither abort, nor hang, nor report to a receiver that has gone.
    std::vector<std::unique_ptr<ApplicationGuard>> guards(8);
    std::vector<std::unique_ptr<Reports>> reports;
    for (auto& guard : guards)
        reports.push_back(std::make_unique<Reports>(*(guard = Make()), false));
    for (auto& guard : guards)
        guard->Start();
    EXPECT_EQ(std::count_if(reports.begin(), reports.end(),
                  [](auto& report) { return report->WaitFor(1).at(0) == ApplicationGuard::StartUp; }),
        1);
    guards.clear();
    first = Make();
    for (int i = 0; i < 600; ++i)
        Make()->Start(), i == 300 ? first->Start() : void();
    first.reset();
    for (int round = 0; round < 1000; ++round) {
        auto owner = Make();
        auto ownerReports = std::make_unique<Reports>(*owner);
        ASSERT_EQ(ownerReports->WaitFor(1), Events {ApplicationGuard::StartUp});
        Make()->Start();
        ownerReports.reset();
    }
}

// A flood of signals from another program of the user: all read, a few activations, nothing queued per byte.
TEST_F(Guards, AFloodOfSignalsIsOneActivation)
{
    auto resident = [pages = 0L]() mutable { return std::ifstream("/proc/self/statm") >> pages >> pages, pages; };
    auto first = Make();
    Reports reports(*first);
    ASSERT_EQ(reports.WaitFor(1).size(), 1u);
    const long before = resident();
    const int fifo = ::open(QFile::encodeName(dir.filePath("TESSALY_SINGLE_INSTANCE_MUTEX.fifo")), O_WRONLY);
    const std::string bytes(1000, '\1');
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(::write(fifo, bytes.data(), bytes.size()), 1000);
    int unread = 1;
    for (int i = 0; i < 1000 && ::ioctl(fifo, FIONREAD, &unread) == 0 && unread > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(unread + ::close(fifo), 0);
    EXPECT_LT((resident() - before) * ::sysconf(_SC_PAGESIZE), 20L << 20); // nothing kept per byte
    ASSERT_GE(reports.WaitFor(2).size(), 2u);
    first.reset(), reports.arrival.processEvents();
    EXPECT_LE(reports.events.size(), 6u);
}

// Whatever XDG_RUNTIME_DIR names, the event lives in the session folder when that is private (it is never made or
// changed), else in "<temp>/runtime-<user>", which is made, or kept, private; one that another user made, a symbolic
// link or a file there is refused with the reason, never followed or shared. An XDG_RUNTIME_DIR that is relative or
// that others may reach is passed by with a Warning and left unchanged.
TEST_F(Guards, WhateverXdgRuntimeDirNamesTheSessionOrTheTemporaryFolderIsTakenOrRefused)
{
    const QString folder = OwnFolder(), session = SessionFolder(), given = dir.filePath("given"),
                  target = dir.filePath("target");
    const auto link = [&](const QString& at) {
        return Private(target) && QDir().mkpath(QFileInfo(at).path()) && QFile::link(target, at);
    };
    const auto file = [](const QString& at) { return TestFiles::Write(at, ""); };
    const struct {
        const char* passedBy; // why XDG_RUNTIME_DIR is passed by; empty: it is unset
        const char* refusal; // empty: the guard starts in the session or the temporary folder
        std::function<bool()> make;
        bool inSession = false;
        bool relative = false; // XDG_RUNTIME_DIR is "given", which the current folder holds
    } cases[] = {{"", "", [] { return true; }}, {"", "", [&] { return Private(folder, 0755); }},
        {"", "belongs to user id 12345", [&] { return Foreign(folder); }},
        {"", "is a symbolic link", [&] { return link(folder); }}, {"", "is not a folder", [&] { return file(folder); }},
        {"it belongs to user id 12345", "", [&] { return Foreign(given); }},
        {"it is a symbolic link", "", [&] { return link(given); }},
        {"it is not a folder", "", [&] { return file(given); }},
        {"its mode is 1777", "", [&] { return Private(given, 01777); }},
        {"its mode is 0755", "belongs to user id 12345", [&] { return Private(given, 0755) && Foreign(folder); }},
        {"", "", [&] { return Private(session); }, true},
        {"its mode is 0755", "", [&] { return Private(given, 0755) && Private(session); }, true},
        {"", "", [&] { return Private(session, 0755); }}, {"", "", [&] { return link(session); }},
        {"it is not an absolute path", "", [&] { return Private(given); }, false, true},
        {"", "", [&] { return Private(given); }}, {"", "", [&] { return Private(given) && Private(session); }, true}};
    for (const auto& row : cases) {
        const auto& [passedBy, refusal, make, inSession, relative] = row;
        SCOPED_TRACE("row " + std::to_string(&row - cases));
        ASSERT_TRUE(make());
        // XDG_RUNTIME_DIR names "given" when the row made it, and is unset otherwise.
        const QString named = relative ? "given" : QFileInfo::exists(given) ? given : QString();
        const Start start(QFile::encodeName(named), dir.path(), dir.path());
        const unsigned modes[] = {TestFiles::Mode(given), TestFiles::Mode(session)};
        const QString& taken = inSession ? session : folder;
        const LogCapture log;
        std::string refused;
        try {
            ApplicationGuard guard;
            EXPECT_TRUE(Reports(guard).WaitFor(1).at(0) == ApplicationGuard::StartUp && TestFiles::Mode(taken) == 0700u
                && QFile::exists(taken + "/TESSALY_SINGLE_INSTANCE_MUTEX.lock") && QFile::exists(folder) != inSession);
        } catch (const std::runtime_error& error) {
            refused = error.what();
        }
        EXPECT_TRUE(*refusal ? refused.find(refusal) != std::string::npos : refused.empty()) << refused;
        EXPECT_EQ(
            log.Count(Log::Warning,
                "Passed by runtime folder: \"" + named.toStdString() + "\", " + passedBy
                    + " (it must be a folder of the user's own with mode 0700); using \"" + taken.toStdString() + "\""),
            *passedBy ? 1 : 0);
        EXPECT_EQ(log.Count(Log::Warning, ""), *passedBy ? 1 : 0);
        EXPECT_TRUE(TestFiles::Mode(given) == modes[0] && TestFiles::Mode(session) == modes[1]);
        for (const QString& other : {given, target})
            EXPECT_FALSE(QFile::exists(other + "/TESSALY_SINGLE_INSTANCE_MUTEX.lock")) << other.toStdString();
        for (const QString& made : {folder, given, target, dir.filePath("run")})
            QFile::remove(made) || QDir(made).removeRecursively();
    }
}

// A second start finds the first, which runs in the session folder or, without one, in the program's own, whatever
// XDG_RUNTIME_DIR either has: the session folder, the program's own (as a shell profile may set it), another private
// folder of the user's, another user's (as su leaves it), none, or a relative one that names a private folder in its
// current folder. The first is brought forward once, and a lock left by a copy that has ended holds nobody back.
TEST_F(Guards, ASecondStartFindsTheFirstWhateverRuntimeFolderEitherNames)
{
    enum Runtime { Session, Own, Unset, Another, Relative, Custom, Other };
    enum Between { Nothing, SessionMade, FirstEndedSessionMade };
    const QString elsewhere = dir.filePath("elsewhere"), custom = dir.filePath("custom"), other = dir.filePath("other");
    ASSERT_TRUE(Foreign(dir.filePath("another")) && Private(elsewhere + "/given") && Private(custom) && Private(other));
    const auto named = [&](Runtime runtime) {
        const QString paths[]
            = {SessionFolder(), OwnFolder(), QString(), dir.filePath("another"), "given", custom, other};
        return QFile::encodeName(paths[runtime]);
    };
    const struct {
        Runtime first; // Unset: without a session folder
        Between between;
        Runtime second;
        Event reported;
    } cases[] = {{Session, Nothing, Session, ApplicationGuard::Quit}, {Session, Nothing, Own, ApplicationGuard::Quit},
        {Session, Nothing, Another, ApplicationGuard::Quit}, {Session, Nothing, Unset, ApplicationGuard::Quit},
        {Session, Nothing, Relative, ApplicationGuard::Quit}, {Session, Nothing, Custom, ApplicationGuard::Quit},
        {Custom, Nothing, Session, ApplicationGuard::Quit}, {Custom, Nothing, Unset, ApplicationGuard::Quit},
        {Custom, Nothing, Other, ApplicationGuard::Quit}, {Own, Nothing, Other, ApplicationGuard::Quit},
        {Unset, Nothing, Own, ApplicationGuard::Quit}, {Unset, Nothing, Another, ApplicationGuard::Quit},
        {Unset, Nothing, Unset, ApplicationGuard::Quit}, {Unset, Nothing, Relative, ApplicationGuard::Quit},
        {Unset, SessionMade, Session, ApplicationGuard::Quit}, {Unset, SessionMade, Unset, ApplicationGuard::Quit},
        {Unset, FirstEndedSessionMade, Unset, ApplicationGuard::StartUp}};
    for (const auto& [first, between, second, reported] : cases) {
        SCOPED_TRACE(("first: \"" + named(first) + "\", second: \"" + named(second) + "\"").toStdString() + " after "
            + std::to_string(between));
        ASSERT_TRUE(first == Unset || Private(SessionFolder()));
        ASSERT_TRUE((first != Own && second != Own) || Private(OwnFolder())); // named, so there already
        auto running = std::make_unique<Start>(named(first), dir.path());
        auto firstGuard = std::make_unique<ApplicationGuard>();
        Reports firstReports(*firstGuard);
        ASSERT_EQ(firstReports.WaitFor(1), Events {ApplicationGuard::StartUp});
        running.reset();
        if (between == FirstEndedSessionMade)
            firstGuard.reset();
        ASSERT_TRUE(between == Nothing || Private(SessionFolder()));
        {
            const Start start(named(second), dir.path(), elsewhere);
            ApplicationGuard secondGuard;
            EXPECT_EQ(Reports(secondGuard).WaitFor(1).at(0), reported);
        }
        if (reported == ApplicationGuard::Quit) {
            EXPECT_EQ(firstReports.WaitFor(2), (Events {ApplicationGuard::StartUp, ApplicationGuard::Activate}));
        }
        QDir(dir.filePath("run")).removeRecursively(), QDir(OwnFolder()).removeRecursively();
    }
}

// Only a real wake-up ends the owner's wait; a reader closing between the signaller's open and write raises no SIGPIPE.
TEST(NamedEvent, AnInterruptedWaitGoesOnAndAClosingOwnerRaisesNoSigpipe)
{
    struct sigaction action { };
    action.sa_handler = [](int) {}; // no SA_RESTART: the read fails with EINTR
    ASSERT_EQ(::sigaction(SIGUSR1, &action, nullptr), 0);
    QTemporaryDir dir;
    NamedEvent event(dir.path(), "event");
    int error = 0;
    ASSERT_TRUE(!event.Open() && event.Create(error));
    std::atomic<int> result {-1};
    std::thread waiter([&] { result = event.Wait() == NamedEvent::Wake::Signalled; });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::pthread_kill(waiter.native_handle(), SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(result.load(), -1);
    NamedEvent(dir.path(), "event").Pulse(), waiter.join();
    EXPECT_EQ(result.load(), 1);

    std::atomic<bool> done {false};
    const auto pulse = [&] {
        while (!done)
            NamedEvent(dir.path(), "other").Pulse();
    };
    std::thread pulsers[] {std::thread(pulse), std::thread(pulse), std::thread(pulse), std::thread(pulse)};
    int owners = 0;
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
         std::chrono::steady_clock::now() < end;) {
        NamedEvent owner(dir.path(), "other");
        owners += !owner.Open() && owner.Create(error);
    }
    done = true;
    for (std::thread& pulser : pulsers)
        pulser.join();
    EXPECT_GT(owners, 0);
}

// Desktop entries unquote string escapes, then the argument quoting, and expand "%" codes: each needs its escape. An
// entry without its type or with autostart disabled is skipped by the session.
TEST(Autostart, QuotesTheExecutablePath)
{
    QTemporaryDir dir;
    const Autostart autostart(dir.filePath("a.desktop"), "/opt/my app/$HOME/100%/\"q\"/back\\slash/`tick`");
    autostart.Set(true);
    EXPECT_EQ(TestFiles::Read(dir.filePath("a.desktop")),
        "[Desktop Entry]\nType=Application\nName=Tessaly\n"
        "Exec=\"/opt/my app/\\\\$HOME/100%%/\\\\\"q\\\\\"/back\\\\\\\\slash/\\\\`tick\\\\`\"\n"
        "Terminal=false\nX-GNOME-Autostart-enabled=true\n");
}

// The largest inset wins, or the one holding the tray icon; ties prefer bottom, top, left, right; no inset, no screen
// or an available area beyond the screen: no panel. A missing or undocked icon (at the origin) becomes the corner of
// the available area on the panel's edge.
TEST(Taskbar, StripEdgeAndTrayIconFromTheScreensAreas)
{
    const QRect screen(0, 0, 1920, 1080), none;
    const struct {
        QRect screen, available, trayIcon;
        int edge;
        QRect strip;
    } strips[] = {
        {screen, QRect(0, 0, 1872, 1080), none, TaskbarEdge::Right, QRect(1872, 0, 48, 1080)},
        {screen, QRect(0, 28, 1920, 980), none, TaskbarEdge::Bottom, QRect(0, 1008, 1920, 72)}, // top bar and dock
        {screen, QRect(0, 28, 1920, 980), QRect(1880, 4, 20, 20), TaskbarEdge::Top, QRect(0, 0, 1920, 28)},
        {screen, QRect(48, 0, 1832, 1080), QRect(10, 1040, 24, 24), TaskbarEdge::Left, QRect(0, 0, 48, 1080)},
        {screen, QRect(0, 30, 1920, 1020), none, TaskbarEdge::Bottom, QRect(0, 1050, 1920, 30)},
        {screen, QRect(30, 30, 1860, 1050), none, TaskbarEdge::Top, QRect(0, 0, 1920, 30)},
        {screen, screen, none, TaskbarEdge::Unknown, none},
        {none, none, none, TaskbarEdge::Unknown, none},
        {screen, QRect(-10, -10, 1940, 1100), none, TaskbarEdge::Unknown, none},
        // A second screen right of the first: nothing is at the origin.
        {QRect(1920, 200, 1280, 1024), QRect(1970, 200, 1230, 1024), none, TaskbarEdge::Left,
            QRect(1920, 200, 50, 1024)},
    };
    for (const auto& c : strips) {
        int edge = 42;
        EXPECT_TRUE(TaskbarFromScreen(c.screen, c.available, c.trayIcon, edge) == c.strip && edge == c.edge)
            << &c - strips;
    }
    const QRect small(0, 0, 1280, 800), bottom(0, 0, 1280, 776);
    const struct {
        QRect reported, available, expected;
    } icons[] = {
        {none, bottom, QRect(1279, 776, 1, 1)}, // none, bottom panel: its right end
        {QRect(0, 0, 22, 22), bottom, QRect(1279, 776, 1, 1)}, // not docked yet
        {none, QRect(0, 24, 1280, 776), QRect(1279, 23, 1, 1)}, // top panel: its right end
        {none, QRect(28, 0, 1252, 800), QRect(27, 799, 1, 1)}, // left panel: its bottom end
        {none, QRect(0, 0, 1252, 800), QRect(1252, 799, 1, 1)}, // right panel: its bottom end
        {none, none, none}, // no screen: nothing to stand in with
        {QRect(1400, 700, 22, 22), bottom, QRect(1400, 700, 22, 22)}, // on another screen: kept
        {none, small, QRect(1279, 799, 1, 1)}, // none, no panel: the bottom-right corner
        {QRect(600, 300, 22, 22), small, QRect(600, 300, 22, 22)}, // somewhere, no panel: kept
    };
    for (const auto& c : icons)
        EXPECT_EQ(TrayIconRect(c.reported, small, c.available), c.expected) << &c - icons;

    // Offscreen there is no notification area: said once at most, however often asked.
    const LogCapture log;
    EXPECT_FALSE(SystemTrayAvailable() || SystemTrayAvailable());
    EXPECT_LE(log.Count(Log::Warning, "No system tray available"), 1);
}
