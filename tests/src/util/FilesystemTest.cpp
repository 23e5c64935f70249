#include "Filesystem.h"
#include "LogCapture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

TEST(FormatSize, PicksTheLargestUnitReached)
{
    EXPECT_EQ(FormatSize(0, 0), "0 B"); // no unit is reached: bytes all the same
    EXPECT_EQ(FormatSize(0, 2), "0.00 B");
    EXPECT_EQ(FormatSize(1023, 2), "1023.00 B");
    EXPECT_EQ(FormatSize(1024, 1), "1.0 KB");
    EXPECT_EQ(FormatSize(1536, 0), "2 KB");
    EXPECT_EQ(FormatSize(std::uint64_t(1) << 40, 0), "1 TB");
    EXPECT_EQ(FormatSize(std::uint64_t(1) << 50, 0), "1024 TB");
}

// A missing path is an answer, a failing query a warning; false either way.
TEST(Filesystem, WarnsOnlyAboutFailingQueries)
{
    QTemporaryDir dir;
    const std::string root = QFile::encodeName(dir.path()).toStdString();
    QFile::link(dir.filePath("loop"), dir.filePath("loop"));
    LogCapture log;
    EXPECT_TRUE(PathExists(root) && HasFreeSpace(root));
    EXPECT_FALSE(PathExists(root + "/missing"));
    EXPECT_TRUE(log.Records().empty());
    EXPECT_FALSE(PathExists(root + "/loop"));
    EXPECT_FALSE(HasFreeSpace(root + "/missing"));
    EXPECT_EQ(log.Count(Log::Warning, "Failed to check if path: \"" + root + "/loop\" exists, "), 1);
    EXPECT_EQ(log.Count(Log::Warning, "Failed to get space info of path: \"" + root + "/missing\", "), 1);
}
