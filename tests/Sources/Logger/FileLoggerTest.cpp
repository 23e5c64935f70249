#include "FileLogger.h"
#include "Log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

QString LogsDir(const QTemporaryDir& root)
{
    return root.path() + "/Logs";
}

QStringList LogFiles(const QString& folder)
{
    return QDir(folder).entryList(QStringList() << "*.log", QDir::Files, QDir::Name);
}

QStringList LogLines(const QString& folder)
{
    QStringList lines;
    for (const QString& name : LogFiles(folder)) {
        QFile file(folder + "/" + name);
        file.open(QIODevice::ReadOnly);
        lines += QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    return lines;
}

struct LongNamedFunctionWithinTheLoggingTestsThatIsWide {
    static void Write() { LOG(Warning) << "wide"; }
};

} // namespace

TEST(FileLogger, WritesOneLineInTheFixedLayout)
{
    QTemporaryDir root;
    {
        auto logger = Log::CreateFileLogger(LogsDir(root).toStdString());
        logger->SetLevel(Log::Debug);
        LOG(Info) << "Starting " << QString("Tessaly");
        LOG_BREL(Error) << "client " << Log::Warning;
    }
    const QStringList lines = LogLines(LogsDir(root));
    ASSERT_EQ(lines.size(), 2);
    const QString function = "FileLogger_WritesOneLineInTheFixedLayout_Test::TestBody";
    const QRegularExpression layout("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{6} \\|    Info \\| {13}ZUK \\| "
                                    " {7}FileLoggerTest\\.cpp: {3}\\d\\d \\| "
        + function + " \\| Starting Tessaly$");
    EXPECT_TRUE(layout.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("|   Error |      BrolClient | ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(" | client Warning")) << lines[1].toStdString();
}

TEST(FileLogger, WidensTheFunctionColumnForLongNames)
{
    QTemporaryDir root;
    {
        auto logger = Log::CreateFileLogger(LogsDir(root).toStdString());
        logger->SetLevel(Log::Debug);
        LongNamedFunctionWithinTheLoggingTestsThatIsWide::Write();
    }
    const QStringList lines = LogLines(LogsDir(root));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(" | {anonymous}::LongNamedFunctionWithinTheLoggingTestsThatIsWide::Write | wide"))
        << lines[0].toStdString();
}

TEST(FileLogger, DropsRecordsBelowTheLevel)
{
    QTemporaryDir root;
    {
        auto logger = Log::CreateFileLogger(LogsDir(root).toStdString());
        logger->SetLevel(Log::Warning);
        LOG(Debug) << "debug";
        LOG(Info) << "info";
        LOG(Warning) << "warning";
        LOG(Error) << "error";
    }
    const QStringList lines = LogLines(LogsDir(root));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("| warning"));
    EXPECT_TRUE(lines[1].endsWith("| error"));
}

TEST(FileLogger, WithoutALoggerNothingIsFormattedOrWritten)
{
    QTemporaryDir root;
    bool formatted = false;
    const auto mark = [&formatted] {
        formatted = true;
        return "x";
    };
    LOG(Error) << mark();
    EXPECT_FALSE(formatted);
    EXPECT_FALSE(QDir(LogsDir(root)).exists());
}

// The logger's creation switches the core off; creating the file logger
// before anything logged must still leave logging on.
TEST(FileLogger, LogsWhenCreatedBeforeAnyRecord)
{
    QTemporaryDir root;
    {
        auto logger = Log::CreateFileLogger(LogsDir(root).toStdString());
        logger->SetLevel(Log::Debug);
        LOG(Info) << "first";
    }
    EXPECT_EQ(LogLines(LogsDir(root)).size(), 1);
}

TEST(FileLogger, WritesEveryQueuedRecordBeforeItIsDestroyed)
{
    QTemporaryDir root;
    constexpr int kThreads = 4;
    constexpr int kRecords = 2500;
    {
        auto logger = Log::CreateFileLogger(LogsDir(root).toStdString());
        logger->SetLevel(Log::Debug);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([t] {
                for (int i = 0; i < kRecords; ++i)
                    LOG(Debug) << "thread " << t << " record " << i;
            });
        for (auto& thread : threads)
            thread.join();
    }
    EXPECT_EQ(LogLines(LogsDir(root)).size(), kThreads * kRecords);
}

// Two instances started within one second share a file name: the second
// must append, not truncate the first one's records.
TEST(FileLogger, AppendsToAFileOfTheSameName)
{
    QTemporaryDir root;
    QDir().mkpath(LogsDir(root));
    const QDateTime now = QDateTime::currentDateTime();
    for (int second = 0; second < 3; ++second) {
        QFile file(LogsDir(root) + "/" + now.addSecs(second).toString("yyyy-MM-dd-HHmmss") + ".log");
        file.open(QIODevice::WriteOnly);
        file.write("earlier\n");
    }
    {
        auto logger = Log::CreateFileLogger(LogsDir(root).toStdString());
        logger->SetLevel(Log::Debug);
        LOG(Info) << "later";
    }
    const QStringList lines = LogLines(LogsDir(root));
    EXPECT_EQ(lines.count("earlier"), 3);
    EXPECT_EQ(lines.filter("| later").size(), 1);
}

TEST(FileLogger, RotatesAFullFileIntoANewOne)
{
    QTemporaryDir root;
    {
        Log::g_lg::get();
        Log::FileLogger logger(LogsDir(root).toStdString(), 100);
        logger.SetLevel(Log::Debug);
        boost::log::core::get()->set_logging_enabled(true);
        LOG(Info) << "a record longer than the rotation size on its own";
        // File names have one-second resolution.
        QThread::msleep(1100);
        LOG(Info) << "next";
    }
    const QStringList files = LogFiles(LogsDir(root));
    ASSERT_EQ(files.size(), 2);
    const QRegularExpression name("^\\d{4}-\\d\\d-\\d\\d-\\d{6}\\.log$");
    for (const QString& file : files)
        EXPECT_TRUE(name.match(file).hasMatch()) << file.toStdString();
    EXPECT_EQ(LogLines(LogsDir(root)).size(), 2);
}
