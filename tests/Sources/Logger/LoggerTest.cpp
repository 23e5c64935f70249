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

#include <map>
#include <string>

namespace {

// The names come from the compiler itself, so the table below follows GCC's forms.
struct Sample {
    static std::string Static() { return __PRETTY_FUNCTION__; }
    std::string Lambdas() const
    {
        return [] { return [x = 0]() mutable { return std::string(__PRETTY_FUNCTION__) + char('0' + x); }(); }();
    }
    std::string operator()(int) { return __PRETTY_FUNCTION__; }
    static std::string Name() { return __PRETTY_FUNCTION__; }
    static void LongNamedFunctionWithinTheLoggingTestsThatIsWide() { LOG(Warning) << "wide"; }
    operator std::map<int, std::string>() const { return {{0, __PRETTY_FUNCTION__}}; }
};

QStringList AllLines(const QString& logs)
{
    QStringList lines;
    for (const QFileInfo& file : QDir(logs).entryInfoList({"*.log"}, QDir::Files, QDir::Name))
        lines += QString::fromUtf8(TestFiles::Read(file.filePath())).split('\n', Qt::SkipEmptyParts);
    return lines;
}

// Sleeps until just after the next second begins and gives that second.
QString StartOfNextSecond()
{
    QThread::msleep(static_cast<unsigned long>(1000 - QTime::currentTime().msec() + 20));
    return QDateTime::currentDateTime().toString("yyyy-MM-dd-HHmmss");
}

} // namespace

TEST(ReduceSignature, GivesTheQualifiedName)
{
    const std::pair<std::string, std::string> cases[] = {
        {Sample::Name(), "{anonymous}::Sample::Name"},
        {Sample::Static(), "{anonymous}::Sample::Static"},
        {Sample().Lambdas(), "{anonymous}::Sample::Lambdas::<lambda>::<lambda>"},
        {Sample()(1), "{anonymous}::Sample::operator()"},
        {std::map<int, std::string>(Sample()).at(0),
            "{anonymous}::Sample::operator std::map<int, std::__cxx11::basic_string<char> >"},
        {"std::map<int, std::string> B::m() &&", "B::m"},
        {"bool B::operator<(const B&) const", "B::operator<"},
        {"virtual B::~B()", "B::~B"},
        {"{anonymous}::Sample::Sample()", "{anonymous}::Sample::Sample"},
    };
    for (const auto& [signature, name] : cases)
        EXPECT_EQ(Log::ReduceSignature(signature), name) << signature;
    EXPECT_EQ(
        Log::FormatFunctionName("UsbManager::MassStorageCome::<lambda_91ba3083bcd59cb653aa2b8c544ebad3>::operator ()"),
        "UsbManager::MassStorageCome::<lambda>");
}

// Also the first record of its process: creating the file logger before anything logged must leave logging on.
// Control characters in a message (from a map name, a mount path) cannot forge a line or drive a terminal. Two
// instances started within one second share a file name: the second appends, not truncates.
TEST(FileLogger, WritesOneLinePerRecordInTheFixedLayoutAppendingToAFileOfTheSameName)
{
    QTemporaryDir root;
    const QDateTime now = QDateTime::currentDateTime();
    for (int second = 0; second < 3; ++second)
        TestFiles::Write(
            root.filePath("Logs/" + now.addSecs(second).toString("yyyy-MM-dd-HHmmss") + ".log"), "earlier\n");
    {
        auto logger = Log::CreateFileLogger(root.filePath("Logs").toStdString());
        logger->SetLevel(Log::Info);
        LOG(Info) << "Starting " << QString("Tessaly");
        LOG(Debug) << "below the level";
        LOG_BREL(Error) << "client " << Log::Warning;
        Sample::LongNamedFunctionWithinTheLoggingTestsThatIsWide();
        LOG(Info) << "map\r\n2026-12-07 | Error | FORGED\t\x1b[2J\x7f\xc2\x9b\xc3\xa9";
    }
    QStringList lines = AllLines(root.filePath("Logs"));
    EXPECT_EQ(lines.removeAll("earlier"), 3);
    ASSERT_EQ(lines.size(), 4);
    const QRegularExpression layout(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6} \|    Info \| {13}ZUK \| {12})"
                                    R"(LoggerTest\.cpp: {3}\d\d \| )"
                                    R"(FileLogger_WritesOneLinePerRecordInTheFixedLayoutAppendingToAFileOfTheSameName)"
                                    R"(_Test::TestBody \| Starting Tessaly$)");
    EXPECT_TRUE(layout.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("|   Error |      BrolClient | ") && lines[1].endsWith(" | client Warning"));
    EXPECT_TRUE(lines[2].endsWith(" | {anonymous}::Sample::LongNamedFunctionWithinTheLoggingTestsThatIsWide | wide"));
    EXPECT_TRUE(lines[3].endsWith(" | map\\r\\n2026-12-07 | Error | FORGED\\t\\x1b[2J\\x7f\\u009b\u00e9"))
        << lines[3].toStdString();
}

// The sink writes only when it goes, so its queue fills: it keeps its bound of records, writes them all, tells the
// drops.
TEST(FileLogger, KeepsItsBoundOfRecordsAndWritesThemAllBeforeItIsDestroyed)
{
    QTemporaryDir root;
    const QString logs = root.filePath("Logs");
    Log::g_lg::get(); // as CreateFileLogger does: the core on, after the global logger exists
    boost::log::core::get()->set_logging_enabled(true);
    {
        Log::FileLogger logger(logs.toStdString(), Log::FileLogger::kRotationSize, Log::FileLogger::Writing::AtTheEnd);
        logger.SetLevel(Log::Debug);
        for (std::size_t i = 0; i < Log::FileLogger::kQueueBound + 7; ++i)
            LOG(Debug) << "record " << i;
    }
    const QStringList lines = AllLines(logs);
    ASSERT_EQ(lines.size(), static_cast<int>(Log::FileLogger::kQueueBound) + 1);
    EXPECT_TRUE(lines[0].contains("| Warning |") && lines[0].endsWith(" | Dropped 7 records: the log queue was full"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(" | record 0")
        && lines.last().endsWith(QString(" | record %1").arg(Log::FileLogger::kQueueBound - 1)));
}

// A file that reaches the rotation size is closed, and the record that would have crossed it opens a new file named
// after the second it is written in; a file below the size is kept across seconds. Each burst of records starts in a
// second of its own and is written before the next begins, so each file's name lies between its bursts' starts.
TEST(FileLogger, RotatesAtItsSize)
{
    constexpr std::uintmax_t RotationSize = 4096;
    constexpr int Burst = 20; // about 130 bytes a record: two bursts cross the size once
    QTemporaryDir root;
    const QString logs = root.filePath("Logs");
    Log::g_lg::get();
    boost::log::core::get()->set_logging_enabled(true);
    QStringList seconds;
    {
        Log::FileLogger logger(logs.toStdString(), RotationSize);
        logger.SetLevel(Log::Debug);
        for (int burst = 0; burst < 3; ++burst) {
            seconds << StartOfNextSecond();
            const int records = burst < 2 ? Burst : 1;
            for (int i = 0; i < records; ++i)
                LOG(Info) << "record " << burst << "." << i;
            ASSERT_TRUE(QTest::qWaitFor([&] { return AllLines(logs).size() == burst * Burst + records; }, 10000));
        }
    }
    const QFileInfoList files = QDir(logs).entryInfoList({"*.log"}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 2);
    EXPECT_TRUE(files[0].completeBaseName() >= seconds[0] && files[0].completeBaseName() < seconds[1]);
    EXPECT_TRUE(files[1].completeBaseName() >= seconds[1] && files[1].completeBaseName() < seconds[2]);
    EXPECT_LE(files[0].size(), static_cast<qint64>(RotationSize));
    EXPECT_GT(files[0].size() + 200, static_cast<qint64>(RotationSize)); // closed only near the size
    const QStringList lines = AllLines(logs);
    ASSERT_EQ(lines.size(), 2 * Burst + 1);
    EXPECT_TRUE(lines[Burst].endsWith(" | record 1.0") && lines.last().endsWith(" | record 2.0"));
}
