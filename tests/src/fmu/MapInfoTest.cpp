#include "MapInfo.h"

#include "Parsers.h"

#include <gtest/gtest.h>

namespace {

Brel::Group Group(const std::string& identifier)
{
    Brel::Group group;
    group.identifier = identifier;
    group.item.region = "EUR";
    group.item.releaseCycle = "2024.02";
    group.item.ndsMapLineId = "LINE";
    return group;
}

TEST(MapInfoTest, GroupIdentifierNamesItsPackageAndKeepsTheSize)
{
    MapInfo map;
    map.size = 42;
    map.url = "kept";
    map.SetMetadata(Group("EG2_2024_02"));
    EXPECT_EQ("EP2_2024_02", map.id);
    EXPECT_EQ("EUR", map.region);
    EXPECT_EQ("2024.02", map.release);
    EXPECT_EQ("LINE", map.mapLineId);
    EXPECT_EQ(42, map.size);
    EXPECT_EQ("kept", map.url);
    EXPECT_FALSE(map.IsValid());

    map.SetMetadata(Group("G"));
    EXPECT_EQ("G", map.id);
    map.SetMetadata(Group(""));
    EXPECT_EQ("", map.id);
}

TEST(MapInfoTest, PackageIdentifierIsTakenAsItStands)
{
    Brel::Package package;
    package.identifier = "XG_1";
    package.totalSizeInBytes = 1234;
    package.group = Group("YG_1");
    MapInfo map;
    map.SetMetadata(package);
    EXPECT_EQ("XG_1", map.id);
    EXPECT_EQ(1234, map.size);
    EXPECT_EQ("EUR", map.region);
    EXPECT_EQ("LINE", map.mapLineId);
}

} // namespace
