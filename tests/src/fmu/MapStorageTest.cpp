#include "MapStorage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

void Store(const std::string& id, MapInfo::Type type, const std::string& release)
{
    MapInfo map;
    map.id = id;
    map.type = type;
    map.state = MapInfo::Available;
    map.release = release;
    MapStorage::Instance().UpdateMap(map);
}

TEST(MapStorageTest, NewestOfATypeSkipsUnparsableReleasesAndKeepsTheFirstMetOnTies)
{
    MapStorage& storage = MapStorage::Instance();
    storage.Clear();
    Store("bad", MapInfo::Mandatory, "May 2030");
    Store("old", MapInfo::Mandatory, "2022.11");
    Store("A", MapInfo::Mandatory, "2023.05");
    Store("B", MapInfo::Mandatory, "2023.05");
    Store("optional", MapInfo::Optional, "2029.01");
    MapInfo::Id firstNewest;
    for (const auto& entry : storage.GetMaps())
        if (firstNewest.empty() && entry.second.release == "2023.05")
            firstNewest = entry.first;
    EXPECT_EQ(firstNewest, storage.GetMandatoryMap().id);
    EXPECT_EQ("optional", storage.GetOptionalMap().id);
    EXPECT_FALSE(storage.GetInstalledMap().IsValid());

    // With nothing but unparsable releases the first one met is taken.
    storage.Clear();
    Store("X", MapInfo::Optional, "");
    Store("Y", MapInfo::Optional, "2023-05");
    EXPECT_EQ(storage.GetMaps().begin()->first, storage.GetOptionalMap().id);
}

TEST(MapStorageTest, SubscriptionExpiresOnlyAfterItsEndDate)
{
    const QDate today = QDate::currentDate();
    EXPECT_FALSE((SubscriptionInfo {today, 0, 0}).IsExpired());
    EXPECT_TRUE((SubscriptionInfo {today.addDays(-1), 0, 0}).IsExpired());
    EXPECT_TRUE(SubscriptionInfo().IsExpired());
}

// The map update thread writes the subscription while the GUI thread reads it.
TEST(MapStorageTest, SubscriptionIsNeverSeenHalfWritten)
{
    MapStorage& storage = MapStorage::Instance();
    std::atomic<bool> done {false};
    std::thread writer([&storage, &done] {
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

} // namespace
