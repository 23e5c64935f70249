#include "TestEnv.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

// Runs the built program as a process. Every test process has its own HOME
// and XDG folders (see the shared test main), which the program inherits.
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

bool Eventually(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 10000)
        QThread::msleep(20);
    return condition();
}

bool Logged(const QString& message)
{
    return !LogLines().filter(" | " + message).isEmpty();
}

void WriteConfig(const QString& logLevel)
{
    TestFiles::Write(DataDir() + "/config.json",
        R"({ "Application": { "LogLevel": ")" + logLevel.toUtf8()
            + R"(" }, "FullMapUpdate": { "UpdateType": "DravoVyd-Preprod" }, "MapDownload": { "RetryDuration": "5" } })");
}

// The exit code, or -1 when the process did not end normally in time.
int Finish(QProcess& process)
{
    const bool ended = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit;
    return ended ? process.exitCode() : -1;
}

class Program : public QProcess {
public:
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
    ASSERT_TRUE(Eventually([&entry] { return QFile::exists(entry); }));
    EXPECT_EQ(program.Terminate(), 0);
    EXPECT_TRUE(TestFiles::Read(DataDir() + "/config.json").contains(R"("UpdateType": "DravoVyd-Prod")"));
    EXPECT_TRUE(TestFiles::Read(entry).contains("\nExec=\"" + program.program().toUtf8() + "\"\n"));
    EXPECT_FALSE(QFile::exists(DataDir() + "/Logs"));
}

TEST(Program, WritesTheStartRecordsInTheLogLayout)
{
    WriteConfig("Info");
    Program program;
    ASSERT_TRUE(Eventually([] { return LogLines().size() >= 4; }));
    EXPECT_EQ(program.Terminate(), 0);
    const QString prefix
        = R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6} \|    Info \| {13}ZUK \| {18}main\.cpp: +\d+ \| {37}main \| )";
    const QStringList messages = {"Starting Tessaly", "Configuration : Production Release", "Version : 2\\.0\\.74",
        "config\\.json-file contents: Application LogLevel = Info, FullMapUpdate UpdateType = DravoVyd-Preprod, "
        "MapDownload RetryDuration = 5"};
    const QStringList lines = LogLines();
    for (int i = 0; i < messages.size(); ++i)
        EXPECT_TRUE(QRegularExpression(prefix + messages[i] + "$").match(lines.value(i)).hasMatch())
            << lines.value(i).toStdString();
    EXPECT_TRUE(Logged("Received signal 15, quitting"));
}

TEST(Program, ASecondStartEndsAtOnceAndActivatesTheFirst)
{
    WriteConfig("Debug");
    Program first;
    ASSERT_TRUE(Eventually([] { return Logged("System event registered"); }));
    Program second;
    EXPECT_EQ(Finish(second), 0);
    EXPECT_TRUE(Eventually([] { return Logged("System event signalled"); }));
    EXPECT_EQ(first.Terminate(), 0);
    EXPECT_TRUE(Logged("Application guard stopped"));
}

// The helper program runs its event loop the way the program does, with a
// handler that throws.
TEST(Program, AnErrorEscapingAnEventHandlerEndsWithCodeOne)
{
    for (const QString kind : {"std", "other"}) {
        QProcess process;
        process.start(TestEnv::BinaryDir() + "/bin/ThrowingEventHandler", {DataDir() + "/Logs", kind});
        EXPECT_EQ(Finish(process), 1);
    }
    const QStringList lines = LogLines();
    EXPECT_EQ(lines.filter("|   Error | ").size(), 2);
    EXPECT_EQ(lines.filter(" | Caught unhandled error: broken handler").size(), 1);
    EXPECT_EQ(lines.filter(" | Caught unknown unhandled error").size(), 1);
    EXPECT_EQ(lines.filter(" | Event loop left with 1").size(), 2);
}
