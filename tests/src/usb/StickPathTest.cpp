#include "StickPath.h"

#include <gtest/gtest.h>

TEST(StickPathTest, RoundTripKeepsNonAsciiNames)
{
    const std::string native = "/media/user/K\xc3\xb6ln stick/";
    const std::wstring wide = StickPath::ToWide(native);
    EXPECT_EQ(wide, L"/media/user/K\u00f6ln stick/");
    EXPECT_EQ(StickPath::ToNative(wide).string(), native);
}
