#include "FileLogger.h"
#include "Log.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace {

struct LongNamedFunctionWithinTheLoggingTestsThatIsWide {
    static void Write() { LOG(Warning) << "wide"; }
};

// Runs `write` with a file logger at `level` and gives the files' lines
// once the logger is gone.
QStringList Logged(Log::Severity level, const std::function<void()>& write, const QTemporaryDir& root)
{
    {
        auto logger = Log::CreateFileLogger(root.filePath("Logs").toStdString());
        logger->SetLevel(level);
        write();
    }
    QStringList lines;
    for (const QFileInfo& file : QDir(root.filePath("Logs")).entryInfoList({"*.log"}, QDir::Files, QDir::Name)) {
        QFile log(file.filePath());
        log.open(QIODevice::ReadOnly);
        lines += QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    return lines;
}

} // namespace

// Also the first record of its process: creating the file logger before
// anything logged must leave logging on.
TEST(FileLogger, WritesOneLinePerRecordInTheFixedLayout)
{
    QTemporaryDir root;
    const QStringList lines = Logged(
        Log::Debug,
        [] {
            LOG(Info) << "Starting " << QString("Tessaly");
            LOG_BREL(Error) << "client " << Log::Warning;
            LongNamedFunctionWithinTheLoggingTestsThatIsWide::Write();
        },
        root);
    ASSERT_EQ(lines.size(), 3);
    const QRegularExpression layout(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6} \|    Info \| {13}ZUK \| {8})"
        R"(FileLoggerTest\.cpp: {3}\d\d \| )"
        R"(FileLogger_WritesOneLinePerRecordInTheFixedLayout_Test::TestBody::<lambda> \| Starting Tessaly$)");
    EXPECT_TRUE(layout.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("|   Error |      BrolClient | ") && lines[1].endsWith(" | client Warning"));
    EXPECT_TRUE(lines[2].endsWith(" | {anonymous}::LongNamedFunctionWithinTheLoggingTestsThatIsWide::Write | wide"));
}

TEST(FileLogger, DropsRecordsBelowTheLevel)
{
    QTemporaryDir root;
    const QStringList lines = Logged(
        Log::Warning,
        [] {
            LOG(Debug) << "debug";
            LOG(Info) << "info";
            LOG(Warning) << "warning";
            LOG(Error) << "error";
        },
        root);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("| warning") && lines[1].endsWith("| error"));
}

TEST(FileLogger, WithoutALoggerNothingIsFormatted)
{
    bool formatted = false;
    LOG(Error) << [&formatted] { return formatted = true; }();
    EXPECT_FALSE(formatted);
}

TEST(FileLogger, WritesEveryQueuedRecordBeforeItIsDestroyed)
{
    QTemporaryDir root;
    const QStringList lines = Logged(
        Log::Debug,
        [] {
            std::vector<std::thread> threads;
            for (int t = 0; t < 4; ++t)
                threads.emplace_back([] {
                    for (int i = 0; i < 2500; ++i)
                        LOG(Debug) << "record " << i;
                });
            for (auto& thread : threads)
                thread.join();
        },
        root);
    EXPECT_EQ(lines.size(), 10000);
}

// Two instances started within one second share a file name: the second
// must append, not truncate the first one's records.
TEST(FileLogger, AppendsToAFileOfTheSameName)
{
    QTemporaryDir root;
    QDir().mkpath(root.filePath("Logs"));
    const QDateTime now = QDateTime::currentDateTime();
    for (int second = 0; second < 3; ++second) {
        QFile file(root.filePath("Logs/" + now.addSecs(second).toString("yyyy-MM-dd-HHmmss") + ".log"));
        file.open(QIODevice::WriteOnly);
        file.write("earlier\n");
    }
    const QStringList lines = Logged(
        Log::Debug, [] { LOG(Info) << "later"; }, root);
    EXPECT_EQ(lines.count("earlier"), 3);
    EXPECT_EQ(lines.filter("| later").size(), 1);
}

TEST(FileLogger, RotatesAFullFileIntoANewOne)
{
    QTemporaryDir root;
    {
        Log::g_lg::get();
        boost::log::core::get()->set_logging_enabled(true);
        Log::FileLogger logger(root.filePath("Logs").toStdString(), 100);
        logger.SetLevel(Log::Debug);
        LOG(Info) << "a record longer than the rotation size on its own";
        QThread::msleep(1100); // file names have one-second resolution
        LOG(Info) << "next";
    }
    const QStringList files = QDir(root.filePath("Logs")).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 2);
    for (const QString& file : files)
        EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\d-\d{6}\.log$)").match(file).hasMatch());
}
