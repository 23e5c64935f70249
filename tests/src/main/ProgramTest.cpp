#include "TestEnv.h"
#include "TestFiles.h"
#include "TestHome.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QString Data(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Dravo/Tessaly/" + name;
}

int Records(const QString& pattern)
{
    QByteArray text;
    for (const QFileInfo& file : QDir(Data("Logs")).entryInfoList({"*.log"}, QDir::Files, QDir::Name))
        text += TestFiles::Read(file.filePath());
    return QString::fromUtf8(text).split('\n').filter(QRegularExpression(pattern)).size();
}

struct Program : QProcess {
    explicit Program(const QStringList& arguments = {}, const QString& name = "tessaly",
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
    {
        setProcessEnvironment(environment);
        start(TestEnv::BinaryDir() + "/bin/" + name, arguments);
    }
    ~Program() override { kill(), waitForFinished(); }
    // The exit code, or -1 when the process did not end normally in time.
    int Finish(int signal = 0)
    {
        if (signal != 0)
            ::kill(static_cast<pid_t>(processId()), signal);
        return waitForFinished(10000) && exitStatus() == QProcess::NormalExit ? exitCode() : -1;
    }
};

} // namespace

// A first run (in the test process's HOME and XDG folders) writes config.json and the autostart entry of the program
// itself; it asks for no log, so there is no logs folder. Where that folder cannot be made, the run goes on without a
// log. Files that cannot be read are told of once the log runs; SIGTERM ends the run cleanly. A runtime folder of
// another user (as su leaves it) is passed by for the program's own in the temporary folder; only when that cannot be
// had either the start ends, saying why.
TEST(Program, RunsWithoutALogAndLogsUnreadableFilesOnceTheLogRuns)
{
    const QString entry
        = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/Tessaly.desktop";
    Program first;
    ASSERT_TRUE(QTest::qWaitFor([&entry] { return QFile::exists(entry); }, 10000));
    EXPECT_EQ(first.Finish(SIGTERM), 0);
    EXPECT_TRUE(TestFiles::Read(entry).contains("\nExec=\"" + first.program().toUtf8() + "\"\n"));
    const QByteArray config = TestFiles::Read(Data("config.json"));
    EXPECT_TRUE(config.contains("DravoVyd-Prod") && !config.contains("LogLevel") && !QFileInfo::exists(Data("Logs")));
    QFile::remove(entry);
    TestFiles::Write(Data("config.json"), R"({ "Application": { "LogLevel": "Debug" },
        "FullMapUpdate": { "UpdateType": "DravoVyd-Prod" }, "MapDownload": { "RetryDuration": "" } })");
    TestFiles::Write(Data("Logs"), "a file where the logs folder belongs");
    Program without;
    ASSERT_TRUE(QTest::qWaitFor([&entry] { return QFile::exists(entry); }, 10000));
    EXPECT_EQ(without.Finish(SIGTERM), 0);

    QFile::remove(Data("Logs"));
    TestFiles::Write(Data("config.json"), R"({ "Application": { "LogLevel": "Debug" }, "FullMapUpdate": {} })");
    TestFiles::Write(Data("settings.json"), R"({ "language": "en_GB", })");
    Program program;
    ASSERT_TRUE(
        QTest::qWaitFor([] { return Records("file as: .*settings.json.bad$|Entered MapUpdateCheck") == 2; }, 10000));
    EXPECT_EQ(
        Records(
            "\\|    Info \\| +ZUK \\| +main\\.cpp: +\\d+ \\| +main \\| (Starting Tessaly|Configuration : Production "
            "Release|Version : 2\\.0\\.74|config\\.json-file contents: Application LogLevel = Debug, "
            "FullMapUpdate UpdateType = , MapDownload RetryDuration = )$"),
        4);
    EXPECT_EQ(Records(R"(\|   Error \| .* \| Kept the unreadable file as: .*config.json.bad$)"), 1);
    EXPECT_EQ(Records(R"(\|   Error \| .* \| Failed to read: )"), 2);
    EXPECT_EQ(program.Finish(SIGTERM), 0);
    EXPECT_EQ(Records(" \\| Received signal 15, quitting$") + Records(" \\| Entered Common state$"), 2);

    const QTemporaryDir temp;
    const QString own = TestHome::OwnRuntimeFolder(temp.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", temp.path()), environment.insert("XDG_RUNTIME_DIR", temp.filePath("su"));
    for (const QString& folder : {temp.filePath("su"), own})
        QDir().mkdir(folder), ::chmod(QFile::encodeName(folder), 0755);
    ASSERT_EQ(::chown(QFile::encodeName(temp.filePath("su")), 12345, 12345), 0);
    Program passedBy({}, "tessaly", environment);
    ASSERT_TRUE(QTest::qWaitFor([] { return Records(" \\| Entered Common state$") == 2; }, 10000));
    EXPECT_EQ(Records(R"(\| Warning \| .* \| Passed by runtime folder: ".*/su", it belongs to user id 12345 )"), 1);
    EXPECT_TRUE(passedBy.Finish(SIGTERM) == 0 && TestFiles::Mode(temp.filePath("su")) == 0755u);
    ASSERT_TRUE(TestFiles::Mode(own) == 0700u && ::chown(QFile::encodeName(own), 12345, 12345) == 0);
    Program refused({}, "tessaly", environment);
    EXPECT_EQ(refused.Finish(), 1);
    const QString reason = "Failed to use runtime folder: \"" + own + "\", it belongs to user id 12345";
    EXPECT_TRUE(refused.readAllStandardError().contains(reason.toUtf8()));
    EXPECT_EQ(Records("\\|   Error \\| .* \\| Caught unhandled error: " + QRegularExpression::escape(reason)), 1);
}

// An error escaping an event handler ends through the last-resort path with code 1, said on stderr and in the log.
// The first signal asks for a clean exit; a second one, of any of the three kinds, ends a teardown that has stalled.
TEST(Program, EndsOnAnEscapedErrorAndOnASecondSignalDuringAStalledTeardown)
{
    Program standard({Data("Logs"), "std"}, "MainHelper");
    EXPECT_EQ(standard.Finish() + Program({Data("Logs"), "other"}, "MainHelper").Finish(), 2);
    EXPECT_TRUE(standard.readAllStandardError().contains("Caught unhandled error: broken handler\n"));
    EXPECT_EQ(
        Records(" \\| (Caught unhandled error: broken handler|Caught unknown unhandled error|Event loop left with 1)$"),
        4);
    for (const auto& [first, second] : {std::pair {SIGTERM, SIGINT}, {SIGINT, SIGHUP}, {SIGHUP, SIGTERM}}) {
        Program process({}, "MainHelper");
        ASSERT_TRUE(process.waitForReadyRead(10000));
        ::kill(static_cast<pid_t>(process.processId()), first);
        const auto stalled = [&] { return process.readAllStandardOutput().contains("stalled") || !process.state(); };
        ASSERT_TRUE(QTest::qWaitFor(stalled, 10000));
        EXPECT_TRUE(process.Finish(second) == -1 && !process.state()) << second << " after " << first << " swallowed";
    }
}
