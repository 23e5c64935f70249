#include "Log.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(LogSeverity, ReadsOnlyTheExactWords)
{
    Log::Severity level = Log::Debug;
    std::istringstream in("Warning debug Error Info Debug");
    in >> level;
    EXPECT_EQ(level, Log::Warning);
    in >> level;
    EXPECT_EQ(level, Log::Warning);
    EXPECT_FALSE(in.fail());
    in >> level;
    EXPECT_EQ(level, Log::Error);
    in >> level;
    EXPECT_EQ(level, Log::Info);
    in >> level;
    EXPECT_EQ(level, Log::Debug);
    in >> level;
    EXPECT_TRUE(in.fail());
}

TEST(LogSeverity, WritesNamesAndNothingForOtherValues)
{
    std::ostringstream out;
    out << Log::Debug << Log::Info << Log::Warning << Log::Error << static_cast<Log::Severity>(4) << "|";
    EXPECT_EQ(out.str(), "DebugInfoWarningError|");
}
