#include "Log.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(LogSeverity, ReadsOnlyTheExactWords)
{
    Log::Severity level = Log::Debug;
    std::istringstream in("Warning debug Error");
    in >> level;
    EXPECT_EQ(level, Log::Warning);
    in >> level; // another word leaves the level and the stream as they were
    EXPECT_EQ(level, Log::Warning);
    EXPECT_FALSE(in.fail());
    in >> level;
    EXPECT_EQ(level, Log::Error);
    in >> level;
    EXPECT_TRUE(in.fail());
}
