#include "MapInfo.h"

#include "Parsers.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

template <typename T> std::string Print(T value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

Brel::Group Group(const std::string& identifier)
{
    Brel::Group group;
    group.identifier = identifier;
    group.item.region = "EUR";
    group.item.releaseCycle = "2024.02";
    group.item.ndsMapLineId = "LINE";
    return group;
}

TEST(MapInfoTest, DefaultRecordAndPrintedNames)
{
    MapInfo map;
    map.state = MapInfo::Pending;
    map.id = "A";
    map.type = MapInfo::Installed;
    map.size = 5;
    map.Reset();
    EXPECT_FALSE(map.IsValid());
    EXPECT_EQ(MapInfo::Optional, map.type);
    EXPECT_TRUE(map.id.empty());
    EXPECT_EQ(0, map.size);
    EXPECT_FALSE(map.root);

    EXPECT_EQ("Installed", Print(MapInfo::Installed));
    EXPECT_EQ("Mandatory", Print(MapInfo::Mandatory));
    EXPECT_EQ("Downloading", Print(MapInfo::Downloading));
    EXPECT_EQ("Pending", Print(MapInfo::Pending));
    EXPECT_EQ("", Print(static_cast<MapInfo::Type>(7)));
    EXPECT_EQ("", Print(static_cast<MapInfo::State>(-1)));
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
