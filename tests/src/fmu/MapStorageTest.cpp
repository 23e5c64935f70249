#include "MapStorage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(MapStorageTest, NewestOfATypeSkipsUnparsableReleasesAndKeepsTheFirstMetOnTies)
{
    MapStorage& storage = MapStorage::Instance();
    for (const auto& [type, id, release] : {std::tuple {MapInfo::Mandatory, "bad", "May 2030"},
             {MapInfo::Mandatory, "old", "2022.11"}, {MapInfo::Mandatory, "A", "2023.05"},
             {MapInfo::Mandatory, "B", "2023.05"}, {MapInfo::Optional, "optional", "2019.01"}})
        storage.UpdateMap({type, MapInfo::Available, id, L"", "", release, "", "", "", 0, 0, false});
    MapInfo::Id firstNewest;
    for (const auto& entry : storage.GetMaps())
        if (firstNewest.empty() && entry.second.release == "2023.05")
            firstNewest = entry.first;
    EXPECT_EQ(firstNewest, storage.GetMandatoryMap().id);
    EXPECT_EQ("optional", storage.GetOptionalMap().id);
    EXPECT_FALSE(storage.GetInstalledMap().IsValid());
}

TEST(MapStorageTest, SubscriptionExpiresOnlyAfterItsEndDate)
{
    EXPECT_FALSE((SubscriptionInfo {QDate::currentDate(), 0, 0}).IsExpired());
    EXPECT_TRUE((SubscriptionInfo {QDate::currentDate().addDays(-1), 0, 0}).IsExpired());
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
    for (SubscriptionInfo seen; !done; seen = storage.GetSubscription())
        torn += seen.totalMapSpace != 2 * seen.availableMapSpace;
    writer.join();
    EXPECT_EQ(0, torn);
}

} // namespace
