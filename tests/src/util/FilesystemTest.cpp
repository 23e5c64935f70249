#include "Filesystem.h"
#include "LogCapture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

boost::filesystem::path Native(const QString& path)
{
    return boost::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace

TEST(FormatSize, PicksTheLargestUnitReached)
{
    EXPECT_EQ(FormatSize(0, 0), "0 B");
    EXPECT_EQ(FormatSize(1023, 2), "1023.00 B");
    EXPECT_EQ(FormatSize(1024, 1), "1.0 KB");
    EXPECT_EQ(FormatSize(1536, 0), "2 KB");
    EXPECT_EQ(FormatSize(5u * 1024 * 1024 + 512 * 1024, 2), "5.50 MB");
    EXPECT_EQ(FormatSize(std::uint64_t(1) << 30, 0), "1 GB");
    EXPECT_EQ(FormatSize(std::uint64_t(1) << 40, 0), "1 TB");
    EXPECT_EQ(FormatSize(std::uint64_t(1) << 50, 0), "1024 TB");
    EXPECT_EQ(FormatSize(UINT64_MAX, 0), "16777216 TB");
}

TEST(PathExists, TellsExistingFromMissingPathsAfterAPause)
{
    QTemporaryDir dir;
    LogCapture log;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(PathExists(Native(dir.path() + "/missing")));
    EXPECT_GE(timer.elapsed(), 500);
    EXPECT_TRUE(PathExists(Native(dir.path())));
    for (const auto& record : log.Records())
        ADD_FAILURE() << record.function << ": " << record.message;
}

TEST(PathExists, AFailingQueryIsAWarningAndFalse)
{
    QTemporaryDir dir;
    QFile::link(dir.path() + "/loop", dir.path() + "/loop");
    LogCapture log;
    EXPECT_FALSE(PathExists(Native(dir.path() + "/loop")));
    EXPECT_EQ(
        log.Count(Log::Warning, "Failed to check if path: \"" + dir.path().toStdString() + "/loop\" exists, "), 1);
}

TEST(HasFreeSpace, AnswersForAFolderAndWarnsForAMissingOne)
{
    QTemporaryDir dir;
    LogCapture log;
    EXPECT_TRUE(HasFreeSpace(Native(dir.path())));
    EXPECT_FALSE(HasFreeSpace(Native(dir.path() + "/missing")));
    EXPECT_EQ(
        log.Count(Log::Warning, "Failed to get space info of path: \"" + dir.path().toStdString() + "/missing\", "), 1);
}
