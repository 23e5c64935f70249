#include "DesktopTest.h"
#include "TestFiles.h"

#include <QtTest>

#include <csignal>

namespace {
// With its start time a pid names one process only, even after the pid is given to another.
struct Process {
    QByteArray pid, name, start;
    bool zombie = false;
};

Process Read(const QByteArray& pid) // all empty once it has gone
{
    const QByteArray stat = TestFiles::Read("/proc/" + pid + "/stat");
    const int open = stat.indexOf('('), close = stat.lastIndexOf(')'); // the name may hold either
    const QList<QByteArray> fields = stat.mid(close + 2).split(' '); // from the state on
    if (open < 0 || fields.size() < 20)
        return {};
    return {pid, stat.mid(open + 1, close - open - 1), fields[19], fields[0] == "Z"};
}

// The running desktop processes started by a program's main thread.
QList<Process> DesktopOf(qint64 program)
{
    QList<Process> desktop;
    for (const QByteArray& pid : TestFiles::Read(QString("/proc/%1/task/%1/children").arg(program)).split(' '))
        if (const Process process = Read(pid);
            !process.zombie && QByteArrayList {"Xvfb", "openbox", "trayer"}.contains(process.name))
            desktop << process;
    return desktop;
}

bool Ended(const Process& process) // a zombie has: init may reap it later
{
    const Process now = Read(process.pid);
    return now.start != process.start || now.zombie;
}
} // namespace

// A desktop test program that dies (a crash, CTest's timeout) takes its desktop along: none pile up on a machine that
// runs the suite often.
TEST(XDesktop, EndsWithItsTestProgramEvenWhenThatIsKilled)
{
    REQUIRE_DESKTOP();
    QTemporaryDir temporary; // for the killed program's HOME, which it cannot remove
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", temporary.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=-*"}); // a desktop, then no tests
    ASSERT_TRUE(QTest::qWaitFor([&] { return DesktopOf(program.processId()).size() == 3; }, 60000));
    ::kill(pid_t(program.processId()), SIGSTOP); // it can neither finish starting its desktop nor end it
    const QList<Process> desktop = DesktopOf(program.processId());
    ASSERT_EQ(desktop.size(), 3) << "the desktop was not caught running";
    ::kill(pid_t(program.processId()), SIGKILL);
    program.waitForFinished();
    for (const Process& process : desktop)
        EXPECT_TRUE(QTest::qWaitFor([&] { return Ended(process); }, 5000))
            << process.name.constData() << " outlived it";
    for (const Process& process : desktop)
        if (!Ended(process)) // only what this test made is ended here
            ::kill(process.pid.toInt(), SIGTERM);
}
