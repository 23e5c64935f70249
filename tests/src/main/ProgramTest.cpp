#include "TestEnv.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <csignal>

#include <pwd.h>
#include <unistd.h>
#include <utility>

#include <sys/stat.h>

// Runs the built program; it inherits the test process's own HOME and XDG folders.
namespace {

QString DataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Dravo/Tessaly";
}

QStringList LogLines()
{
    QStringList lines;
    for (const QFileInfo& file : QDir(DataDir() + "/Logs").entryInfoList({"*.log"}, QDir::Files, QDir::Name))
        lines += QString::fromUtf8(TestFiles::Read(file.filePath())).split('\n', Qt::SkipEmptyParts);
    return lines;
}

int Records(const QString& message)
{
    return LogLines().filter(QRegularExpression(" \\| " + QRegularExpression::escape(message) + "$")).size();
}

bool Logged(const QString& message)
{
    return QTest::qWaitFor([&message] { return Records(message) > 0; }, 10000);
}

// The exit code, or -1 when the process did not end normally in time.
int Finish(QProcess& process)
{
    const bool ended = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit;
    return ended ? process.exitCode() : -1;
}

struct Program : QProcess {
    Program() { start(TestEnv::BinaryDir() + "/bin/tessaly", QStringList()); }
    ~Program() override
    {
        kill();
        waitForFinished();
    }
    int Terminate()
    {
        terminate();
        return Finish(*this);
    }
};

} // namespace

TEST(Program, FirstRunWritesConfigurationAndAutostartWithoutALog)
{
    const QString entry
        = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/Tessaly.desktop";
    Program program;
    ASSERT_TRUE(QTest::qWaitFor([&entry] { return QFile::exists(entry); }, 10000));
    EXPECT_EQ(program.Terminate(), 0);
    EXPECT_TRUE(TestFiles::Read(DataDir() + "/config.json").contains(R"("UpdateType": "DravoVyd-Prod")"));
    EXPECT_TRUE(TestFiles::Read(entry).contains("\nExec=\"" + program.program().toUtf8() + "\"\n"));
    EXPECT_FALSE(QFile::exists(DataDir() + "/Logs"));
}

// The first instance logs its start, runs the machine, is activated by a
// second start (which ends at once) and ends cleanly on SIGTERM.
TEST(Program, LogsItsStartAndASecondStartOnlyActivatesIt)
{
    TestFiles::Write(DataDir() + "/config.json", R"({ "Application": { "LogLevel": "Debug" },
        "FullMapUpdate": { "UpdateType": "DravoVyd-Preprod" }, "MapDownload": { "RetryDuration": "5" } })");
    Program first;
    ASSERT_TRUE(Logged("Entered MapUpdateCheck state"));
    const QString prefix
        = R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6} \|    Info \| {13}ZUK \| {18}main\.cpp: +\d+ \| {37}main \| )";
    const QStringList messages = {"Starting Tessaly", "Configuration : Production Release", "Version : 2\\.0\\.74",
        "config\\.json-file contents: Application LogLevel = Debug, FullMapUpdate UpdateType = DravoVyd-Preprod, "
        "MapDownload RetryDuration = 5"};
    const QStringList lines = LogLines();
    for (int i = 0; i < messages.size(); ++i)
        EXPECT_TRUE(QRegularExpression(prefix + messages[i] + "$").match(lines.value(i)).hasMatch())
            << lines.value(i).toStdString();

    Program second;
    EXPECT_EQ(Finish(second), 0);
    EXPECT_TRUE(Logged("Got Activate event"));
    EXPECT_EQ(first.Terminate(), 0);
    EXPECT_TRUE(Logged("Received signal 15, quitting"));
    EXPECT_EQ(Records("Entered Common state"), 1);
}

// Files that cannot be read are kept beside the rewritten config.json (the
// user's alone under the usual umask) and told of once the log runs.
TEST(Program, KeepsUnreadableFilesAndLogsThemOnceTheLogRuns)
{
    const QString config = DataDir() + "/config.json";
    const QString settings = DataDir() + "/settings.json";
    TestFiles::Write(config, R"({ "Application": { "LogLevel": "Error" },
        "FullMapUpdate": { "UpdateType": "DravoVyd-Prod" } })");
    TestFiles::Write(settings, R"({ "language": "en_GB", })");
    const mode_t umask = ::umask(022);
    Program program;
    ::umask(umask);
    ASSERT_TRUE(Logged("Kept the unreadable file as: " + settings + ".bad"));
    EXPECT_EQ(Records("Kept the unreadable file as: " + config + ".bad"), 1);
    EXPECT_EQ(LogLines().filter(QRegularExpression(R"(\|   Error \| .* \| Failed to read: )")).size(), 2);
    EXPECT_EQ(TestFiles::Mode(config), 0600u);
    EXPECT_TRUE(TestFiles::Read(config + ".bad").contains("\"LogLevel\": \"Error\""));
    EXPECT_EQ(program.Terminate(), 0);
}

// A logs folder that cannot be made costs the log, not the run.
TEST(Program, RunsWithoutALogWhenItsFolderCannotBeMade)
{
    TestFiles::Write(DataDir() + "/config.json", R"({ "Application": { "LogLevel": "Debug" },
        "FullMapUpdate": { "UpdateType": "DravoVyd-Prod" }, "MapDownload": { "RetryDuration": "" } })");
    TestFiles::Write(DataDir() + "/Logs", "a file where the logs folder belongs");
    Program program;
    ASSERT_TRUE(program.waitForStarted());
    EXPECT_FALSE(program.waitForFinished(1500));
    EXPECT_EQ(program.Terminate(), 0);
}

// Without XDG_RUNTIME_DIR, a "runtime-<user>" folder that another user made in
// the temporary folder ends the start with the reason, never silently.
TEST(Program, ARuntimeFolderOfAnotherUserEndsTheStartWithTheReason)
{
    TestFiles::Write(DataDir() + "/config.json", R"({ "Application": { "LogLevel": "Error" },
        "FullMapUpdate": { "UpdateType": "DravoVyd-Prod" }, "MapDownload": { "RetryDuration": "" } })");
    const QTemporaryDir temp;
    const QString folder = temp.filePath("runtime-" + QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name));
    ASSERT_TRUE(QDir().mkdir(folder));
    if (::chown(QFile::encodeName(folder), 12345, 12345) != 0)
        GTEST_SKIP() << "needs to give a folder to another user";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("TMPDIR", temp.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(TestEnv::BinaryDir() + "/bin/tessaly", QStringList());
    EXPECT_EQ(Finish(process), 1);
    const QString reason = "Failed to use runtime folder: \"" + folder + "\", it belongs to user id 12345";
    EXPECT_TRUE(process.readAllStandardError().contains(reason.toUtf8()));
    EXPECT_EQ(LogLines().filter("Error").filter(reason).size(), 1);
}

// The helper runs an event loop the way the program does, with a handler that throws.
TEST(Program, AnErrorEscapingAnEventHandlerEndsWithCodeOne)
{
    for (const QString kind : {"std", "other"}) {
        QProcess process;
        process.start(TestEnv::BinaryDir() + "/bin/ThrowingEventHandler", {DataDir() + "/Logs", kind});
        EXPECT_EQ(Finish(process), 1);
    }
    EXPECT_EQ(Records("Caught unhandled error: broken handler"), 1);
    EXPECT_EQ(Records("Caught unknown unhandled error"), 1);
    EXPECT_EQ(Records("Event loop left with 1"), 2);
}

// The first signal asks for a clean exit; a second one, of any of the three
// kinds, ends a teardown that has stalled.
TEST(ProgramSignals, ASecondDifferentSignalEndsAStalledTeardown)
{
    for (const auto& [first, second] : {std::pair {SIGTERM, SIGINT}, {SIGINT, SIGHUP}, {SIGHUP, SIGTERM}}) {
        QProcess process;
        process.start(TestEnv::BinaryDir() + "/bin/StalledTeardown", QStringList());
        ASSERT_TRUE(process.waitForReadyRead(10000));
        ::kill(static_cast<pid_t>(process.processId()), first);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return process.readAllStandardOutput().contains("stalled") || process.state() == QProcess::NotRunning;
            },
            10000));
        ::kill(static_cast<pid_t>(process.processId()), second);
        ASSERT_TRUE(process.waitForFinished(5000)) << "signal " << second << " after " << first << " was swallowed";
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    }
}
