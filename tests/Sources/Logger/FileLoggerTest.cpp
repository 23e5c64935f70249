#include "Log.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct LongNamedFunctionWithinTheLoggingTestsThatIsWide {
    static void Write() { LOG(Warning) << "wide"; }
};

// Runs `write` with a file logger at `level` and gives the files' lines once the logger is gone.
QStringList Logged(Log::Severity level, const std::function<void()>& write, const QTemporaryDir& root)
{
    {
        auto logger = Log::CreateFileLogger(root.filePath("Logs").toStdString());
        logger->SetLevel(level);
        write();
    }
    QStringList lines;
    for (const QFileInfo& file : QDir(root.filePath("Logs")).entryInfoList({"*.log"}, QDir::Files, QDir::Name))
        lines += QString::fromUtf8(TestFiles::Read(file.filePath())).split('\n', Qt::SkipEmptyParts);
    return lines;
}

} // namespace

// Also the first record of its process: creating the file logger before
// anything logged must leave logging on.
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

TEST(FileLogger, WritesEveryQueuedRecordBeforeItIsDestroyed)
{
    QTemporaryDir root;
    const QStringList lines = Logged(
        Log::Debug,
        [] {
            for (int i = 0; i < 10000; ++i)
                LOG(Debug) << "record " << i;
        },
        root);
    EXPECT_EQ(lines.size(), 10000);
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
