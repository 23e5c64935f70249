#include "FileLogger.h"
#include "Log.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <boost/log/core/core.hpp>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct LongNamedFunctionWithinTheLoggingTestsThatIsWide {
    static void Write() { LOG(Warning) << "wide"; }
};

// The lines of every log file, the files in the order of their names.
QStringList AllLines(const QString& logs)
{
    QStringList lines;
    for (const QFileInfo& file : QDir(logs).entryInfoList({"*.log"}, QDir::Files, QDir::Name))
        lines += QString::fromUtf8(TestFiles::Read(file.filePath())).split('\n', Qt::SkipEmptyParts);
    return lines;
}

// Runs `write` with a file logger at `level` and gives the files' lines once the logger is gone.
QStringList Logged(Log::Severity level, const std::function<void()>& write, const QTemporaryDir& root)
{
    {
        auto logger = Log::CreateFileLogger(root.filePath("Logs").toStdString());
        logger->SetLevel(level);
        write();
    }
    return AllLines(root.filePath("Logs"));
}

// Sleeps until just after the next second begins and gives that second.
QDateTime StartOfNextSecond()
{
    const QDateTime now = QDateTime::currentDateTime();
    QThread::msleep(static_cast<unsigned long>(1000 - now.time().msec() + 20));
    return QDateTime::currentDateTime();
}

} // namespace

// Also the first record of its process: creating the file logger before
// anything logged must leave logging on. Control characters in a message
// (from a map name, a mount path) cannot forge a line or drive a terminal.
TEST(FileLogger, WritesOneLinePerRecordInTheFixedLayout)
{
    QTemporaryDir root;
    const QStringList lines = Logged(
        Log::Info,
        [] {
            LOG(Info) << "Starting " << QString("Tessaly");
            LOG(Debug) << "below the level";
            LOG_BREL(Error) << "client " << Log::Warning;
            LongNamedFunctionWithinTheLoggingTestsThatIsWide::Write();
            LOG(Info) << "map\r\n2026-12-07 | Error | FORGED\t\x1b[2J\x7f\xc2\x9b\xc3\xa9";
        },
        root);
    ASSERT_EQ(lines.size(), 4);
    const QRegularExpression layout(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6} \|    Info \| {13}ZUK \| {8})"
        R"(FileLoggerTest\.cpp: {3}\d\d \| )"
        R"(FileLogger_WritesOneLinePerRecordInTheFixedLayout_Test::TestBody::<lambda> \| Starting Tessaly$)");
    EXPECT_TRUE(layout.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("|   Error |      BrolClient | ") && lines[1].endsWith(" | client Warning"));
    EXPECT_TRUE(lines[2].endsWith(" | {anonymous}::LongNamedFunctionWithinTheLoggingTestsThatIsWide::Write | wide"));
    EXPECT_TRUE(lines[3].endsWith(" | map\\r\\n2026-12-07 | Error | FORGED\\t\\x1b[2J\\x7f\\u009b\u00e9"))
        << lines[3].toStdString();
}

// Here the sink writes only when it goes, so its queue fills: it keeps its
// bound of records, writes them all, and tells how many it dropped.
TEST(FileLogger, KeepsItsBoundOfRecordsAndWritesThemAllBeforeItIsDestroyed)
{
    constexpr int Dropped = 7;
    QTemporaryDir root;
    const QString logs = root.filePath("Logs");
    Log::g_lg::get();
    boost::log::core::get()->set_logging_enabled(true);
    {
        Log::FileLogger logger(logs.toStdString(), Log::FileLogger::kRotationSize, Log::FileLogger::Writing::AtTheEnd);
        logger.SetLevel(Log::Debug);
        for (std::size_t i = 0; i < Log::FileLogger::kQueueBound + Dropped; ++i)
            LOG(Debug) << "record " << i;
    }
    const QStringList lines = AllLines(logs);
    ASSERT_EQ(lines.size(), static_cast<int>(Log::FileLogger::kQueueBound) + 1);
    EXPECT_TRUE(lines[0].contains("| Warning |") && lines[0].endsWith(" | Dropped 7 records: the log queue was full"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(" | record 0"));
    EXPECT_TRUE(lines.last().endsWith(QString(" | record %1").arg(Log::FileLogger::kQueueBound - 1)));
}

// Two instances started within one second share a file name: the second
// must append, not truncate the first one's records.
TEST(FileLogger, AppendsToAFileOfTheSameName)
{
    QTemporaryDir root;
    const QDateTime now = QDateTime::currentDateTime();
    for (int second = 0; second < 3; ++second)
        TestFiles::Write(
            root.filePath("Logs/" + now.addSecs(second).toString("yyyy-MM-dd-HHmmss") + ".log"), "earlier\n");
    const QStringList lines = Logged(
        Log::Debug, [] { LOG(Info) << "later"; }, root);
    EXPECT_EQ(lines.count("earlier"), 3);
    EXPECT_EQ(lines.filter("| later").size(), 1);
}

// A file that reaches the rotation size is closed, and the record that would have crossed it opens a new file
// named after the second it is written in; a file below the size is kept across seconds. Each burst of records
// goes out within one second of its own, written before the next begins.
TEST(FileLogger, RotatesAtItsSize)
{
    constexpr std::uintmax_t RotationSize = 4096;
    constexpr int Burst = 20; // about 130 bytes a record: two bursts cross the size once
    QTemporaryDir root;
    const QString logs = root.filePath("Logs");
    Log::g_lg::get(); // as CreateFileLogger does: the core on, after the global logger exists
    boost::log::core::get()->set_logging_enabled(true);
    QStringList seconds;
    {
        Log::FileLogger logger(logs.toStdString(), RotationSize);
        logger.SetLevel(Log::Debug);
        for (int burst = 0; burst < 3; ++burst) {
            seconds << StartOfNextSecond().toString("yyyy-MM-dd-HHmmss");
            const int records = burst < 2 ? Burst : 1;
            for (int i = 0; i < records; ++i)
                LOG(Info) << "record " << burst << "." << i;
            ASSERT_TRUE(QTest::qWaitFor([&] { return AllLines(logs).size() == burst * Burst + records; }, 5000));
        }
    }
    const QFileInfoList files = QDir(logs).entryInfoList({"*.log"}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].fileName(), seconds[0] + ".log");
    EXPECT_EQ(files[1].fileName(), seconds[1] + ".log");
    EXPECT_LE(files[0].size(), static_cast<qint64>(RotationSize));
    EXPECT_GT(files[0].size() + 200, static_cast<qint64>(RotationSize)); // closed only near the size
    const QStringList lines = AllLines(logs);
    ASSERT_EQ(lines.size(), 2 * Burst + 1);
    EXPECT_TRUE(lines.last().endsWith(" | record 2.0"));
    EXPECT_TRUE(lines[Burst].endsWith(" | record 1.0"));
}
