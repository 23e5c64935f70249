#include "TestEnv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

QString LogsDir()
{
    return DataDir() + "/Logs";
}

QString AutostartEntry()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/Tessaly.desktop";
}

QString ReadFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

QStringList LogLines()
{
    QStringList lines;
    for (const QString& name : QDir(LogsDir()).entryList(QStringList() << "*.log", QDir::Files, QDir::Name))
        lines += ReadFile(LogsDir() + "/" + name).split('\n', Qt::SkipEmptyParts);
    return lines;
}

bool Eventually(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 10000)
            return false;
        QThread::msleep(20);
    }
    return true;
}

bool Logged(const QString& message)
{
    return !LogLines().filter(" | " + message).isEmpty();
}

void WriteConfig(const QString& logLevel)
{
    QDir().mkpath(DataDir());
    QFile file(DataDir() + "/config.json");
    file.open(QIODevice::WriteOnly);
    file.write(QString(R"({ "Application": { "LogLevel": "%1" },
        "FullMapUpdate": { "UpdateType": "DravoVyd-Preprod" }, "MapDownload": { "RetryDuration": "5" } })")
                   .arg(logLevel)
                   .toUtf8());
}

class Program {
public:
    Program() { process.setProgram(TestEnv::BinaryDir() + "/bin/tessaly"); }

    ~Program()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    void Start()
    {
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }

    // Waits for the end; -1 when it did not end normally within the time.
    int Finish()
    {
        if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }

    int Terminate()
    {
        process.terminate();
        return Finish();
    }

    QProcess process;
};

} // namespace

TEST(Program, FirstRunWritesConfigurationAndAutostartWithoutALog)
{
    Program program;
    program.Start();
    ASSERT_TRUE(Eventually([] { return QFile::exists(AutostartEntry()); }));
    EXPECT_EQ(program.Terminate(), 0);
    EXPECT_EQ(ReadFile(DataDir() + "/config.json"), R"({
    "Application": "",
    "FullMapUpdate": {
        "UpdateType": "DravoVyd-Prod"
    },
    "MapDownload": {
        "RetryDuration": ""
    }
}
)");
    EXPECT_TRUE(ReadFile(AutostartEntry()).contains("\nExec=\"" + program.process.program() + "\"\n"));
    EXPECT_FALSE(QFile::exists(LogsDir()));
    EXPECT_FALSE(QFile::exists(DataDir() + "/settings.json"));
}

TEST(Program, WritesTheStartRecordsInTheLogLayout)
{
    WriteConfig("Info");
    Program program;
    program.Start();
    ASSERT_TRUE(Eventually([] { return LogLines().size() >= 4; }));
    EXPECT_EQ(program.Terminate(), 0);
    const QStringList lines = LogLines();
    const QString prefix
        = R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6} \|    Info \| {13}ZUK \| {18}main\.cpp: +\d+ \| {37}main \| )";
    const QStringList messages = {"Starting Tessaly", "Configuration : Production Release", "Version : 2\\.0\\.74",
        "config\\.json-file contents: Application LogLevel = Info, FullMapUpdate UpdateType = DravoVyd-Preprod, "
        "MapDownload RetryDuration = 5"};
    ASSERT_GE(lines.size(), messages.size());
    for (int i = 0; i < messages.size(); ++i)
        EXPECT_TRUE(QRegularExpression(prefix + messages[i] + "$").match(lines[i]).hasMatch())
            << lines[i].toStdString();
    EXPECT_TRUE(Logged("Received signal 15, quitting"));
}

TEST(Program, ASecondStartEndsAtOnceAndActivatesTheFirst)
{
    WriteConfig("Debug");
    Program first;
    first.Start();
    ASSERT_TRUE(Eventually([] { return Logged("System event registered"); }));

    Program second;
    second.Start();
    EXPECT_EQ(second.Finish(), 0);
    EXPECT_TRUE(Eventually([] { return Logged("Another start asked to bring the application forward"); }));

    EXPECT_EQ(first.Terminate(), 0);
    EXPECT_TRUE(Logged("Application guard stopped"));
}

TEST(Program, AnErrorEscapingAnEventHandlerEndsWithCodeOne)
{
    for (const QString kind : {"std", "other"}) {
        QProcess process;
        process.start(TestEnv::BinaryDir() + "/bin/ThrowingEventHandler", {LogsDir(), kind});
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 1);
    }
    const QStringList lines = LogLines();
    EXPECT_EQ(lines.filter("|   Error | ").size(), 2);
    EXPECT_EQ(lines.filter(" | Caught unhandled error: broken handler").size(), 1);
    EXPECT_EQ(lines.filter(" | Caught unknown unhandled error").size(), 1);
    EXPECT_EQ(lines.filter(" | Event loop left with 1").size(), 2);
}
