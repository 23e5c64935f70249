#include "TestEnv.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest/QTest>

#include <gtest/gtest.h>

// The built program's state machine, seen through its log: the first start
// runs the machine, a second one only activates it.
namespace {

QString AppDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Dravo/Tessaly";
}

QString AllLogs()
{
    QString text;
    const QDir logs(AppDataFolder() + "/Logs");
    for (const QString& name : logs.entryList({"*.log"}, QDir::Files))
        text += QString::fromUtf8(TestFiles::Read(logs.filePath(name)));
    return text;
}

int Records(const QString& message)
{
    return AllLogs().count(" | " + message + "\n");
}

bool Shows(const QString& message)
{
    return QTest::qWaitFor([&message] { return Records(message) > 0; }, 10000);
}

} // namespace

TEST(StateMachineSmoke, SecondStartOnlyActivatesTheRunningMachine)
{
    ASSERT_TRUE(TestFiles::Write(AppDataFolder() + "/config.json", R"({ "Application": { "LogLevel": "Debug" } })"));

    const QString program = TestEnv::BinaryDir() + "/bin/tessaly";
    QProcess first;
    first.start(program, QStringList());
    ASSERT_TRUE(Shows("Entered MapUpdateCheck state"));

    QProcess second;
    second.start(program, QStringList());
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(Shows("Got Activate event"));

    first.terminate();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(Records("Entered StartUp state"), 2);
    EXPECT_EQ(Records("Got StartUp event; switching to Common state"), 1);
    EXPECT_EQ(Records("Entered Common state"), 1);
}
