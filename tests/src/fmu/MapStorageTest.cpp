#include "MapStorage.h"
#include "ReleaseDate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

MapInfo Map(const std::string& id, MapInfo::Type type, const std::string& release, bool root = false)
{
    MapInfo map;
    map.id = id;
    map.type = type;
    map.state = MapInfo::Available;
    map.release = release;
    map.root = root;
    return map;
}

class MapStorageTest : public ::testing::Test {
protected:
    void SetUp() override { storage.Clear(); }
    MapStorage& storage = MapStorage::Instance();
};

TEST_F(MapStorageTest, EmptyCatalogueAnswersEveryQueryWithADefaultRecord)
{
    const MapInfo missing = storage.FindMap("nothing");
    EXPECT_FALSE(missing.IsValid());
    EXPECT_EQ(MapInfo::Optional, missing.type);
    for (const MapInfo& map : {storage.GetDeletingMap(), storage.GetDownloadingMap(), storage.GetPendingMap(),
             storage.GetInstalledMap(), storage.GetMandatoryMap(), storage.GetOptionalMap()})
        EXPECT_FALSE(map.IsValid());
    EXPECT_TRUE(storage.GetRootMaps().empty());
}

TEST_F(MapStorageTest, UpdateReplacesTheWholeRecordAndRemoveForgetsIt)
{
    MapInfo first = Map("A", MapInfo::Mandatory, "2023.05", true);
    first.downloaded = 10;
    first.url = "https://x/a.tar";
    storage.UpdateMap(first);
    EXPECT_EQ(1u, storage.GetRootMaps().size());
    storage.UpdateMap(Map("A", MapInfo::Optional, "2023.11"));

    const MapInfo stored = storage.FindMap("A");
    EXPECT_EQ(MapInfo::Optional, stored.type);
    EXPECT_EQ("2023.11", stored.release);
    EXPECT_EQ(0, stored.downloaded);
    EXPECT_TRUE(stored.url.empty());
    EXPECT_TRUE(storage.GetRootMaps().empty());
    EXPECT_EQ(1u, storage.GetMaps().size());

    storage.RemoveMap("unknown");
    EXPECT_EQ(1u, storage.GetMaps().size());
    storage.RemoveMap("A");
    EXPECT_TRUE(storage.GetMaps().empty());
}

TEST_F(MapStorageTest, ClearAlsoResetsTheSubscription)
{
    storage.SetSubscription({QDate(2024, 6, 30), 1000, 1500});
    storage.UpdateMap(Map("A", MapInfo::Optional, "2023.05"));
    storage.Clear();
    const SubscriptionInfo subscription = storage.GetSubscription();
    EXPECT_TRUE(subscription.endDate.isNull());
    EXPECT_EQ(0, subscription.availableMapSpace);
    EXPECT_EQ(0, subscription.totalMapSpace);
    EXPECT_TRUE(storage.GetMaps().empty());
}

// The map update thread writes the subscription while the GUI thread reads it.
TEST_F(MapStorageTest, SubscriptionIsNeverSeenHalfWritten)
{
    std::atomic<bool> done {false};
    std::thread writer([this, &done] {
        for (int day = 0; day < 20000; ++day)
            storage.SetSubscription({QDate(2024, 1, 1).addDays(day % 500), day, 2 * std::int64_t(day)});
        done = true;
    });
    int torn = 0;
    while (!done) {
        const SubscriptionInfo seen = storage.GetSubscription();
        torn += seen.totalMapSpace != 2 * seen.availableMapSpace;
    }
    writer.join();
    EXPECT_EQ(0, torn);
}

TEST_F(MapStorageTest, NewestOfATypeIgnoresOtherTypesAndUnparsableReleases)
{
    storage.UpdateMap(Map("bad", MapInfo::Mandatory, "May 2030"));
    storage.UpdateMap(Map("old", MapInfo::Mandatory, "2022.11"));
    storage.UpdateMap(Map("new", MapInfo::Mandatory, "2023.02"));
    storage.UpdateMap(Map("optional", MapInfo::Optional, "2029.01"));
    storage.UpdateMap(Map("installed", MapInfo::Installed, "2030.01"));

    EXPECT_EQ("new", storage.GetMandatoryMap().id);
    EXPECT_EQ("optional", storage.GetOptionalMap().id);
    EXPECT_EQ("installed", storage.GetInstalledMap().id);
}

TEST_F(MapStorageTest, NewestOfATypeKeepsTheFirstMetOnEqualReleases)
{
    storage.UpdateMap(Map("A", MapInfo::Mandatory, "2023.05"));
    storage.UpdateMap(Map("B", MapInfo::Mandatory, "2023.05"));
    storage.UpdateMap(Map("C", MapInfo::Mandatory, "2023.05"));
    storage.UpdateMap(Map("D", MapInfo::Mandatory, "2022.05"));
    MapInfo::Id first;
    for (const auto& entry : storage.GetMaps()) {
        if (entry.second.release == "2023.05") {
            first = entry.first;
            break;
        }
    }
    EXPECT_EQ(first, storage.GetMandatoryMap().id);

    // With nothing but unparsable releases the first one met stays too.
    storage.Clear();
    storage.UpdateMap(Map("X", MapInfo::Optional, ""));
    storage.UpdateMap(Map("Y", MapInfo::Optional, "2023-05"));
    EXPECT_EQ(storage.GetMaps().begin()->first, storage.GetOptionalMap().id);
}

TEST(ReleaseDateTest, ReleasesParseToTheFirstOfTheMonthAndCompareByDay)
{
    EXPECT_EQ(QDate(2023, 5, 1), ReleaseToDate("2023.05"));
    EXPECT_FALSE(ReleaseToDate("2023.5").isValid());
    EXPECT_FALSE(ReleaseToDate("2023.13").isValid());

    const MapInfo valid = Map("v", MapInfo::Optional, "2023.05");
    const MapInfo later = Map("l", MapInfo::Optional, "2023.06");
    const MapInfo broken = Map("b", MapInfo::Optional, "x");
    const MapInfo alsoBroken = Map("c", MapInfo::Optional, "");
    EXPECT_TRUE(IsOlder(valid, later));
    EXPECT_FALSE(IsOlder(later, valid));
    EXPECT_FALSE(IsOlder(valid, valid));
    EXPECT_TRUE(IsOlder(broken, valid));
    EXPECT_FALSE(IsOlder(valid, broken));
    EXPECT_FALSE(IsOlder(broken, alsoBroken));
    EXPECT_FALSE(IsOlder(alsoBroken, broken));
}

TEST(SubscriptionInfoTest, ExpiresOnlyAfterItsEndDate)
{
    const QDate today = QDate::currentDate();
    EXPECT_FALSE((SubscriptionInfo {today, 0, 0}).IsExpired());
    EXPECT_FALSE((SubscriptionInfo {today.addDays(1), 0, 0}).IsExpired());
    EXPECT_TRUE((SubscriptionInfo {today.addDays(-1), 0, 0}).IsExpired());
    EXPECT_TRUE(SubscriptionInfo().IsExpired());
}

} // namespace
