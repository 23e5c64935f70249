#pragma once

#include "MapInfo.h"
#include "SubscriptionInfo.h"

#include <mutex>
#include <unordered_map>

// The process-wide catalogue of the map packages that the last check found,
// and the head unit's subscription. Written on the map update thread, read
// on the GUI thread; every operation returns copies.
class MapStorage {
public:
    using Maps = std::unordered_map<MapInfo::Id, MapInfo>;

    static MapStorage& Instance();

    SubscriptionInfo GetSubscription() const;
    void SetSubscription(SubscriptionInfo subscription);

    // Empties the table and resets the subscription.
    void Clear();
    // Inserts the record, or replaces the stored one with the same id whole.
    void UpdateMap(MapInfo map);
    void RemoveMap(const MapInfo::Id& id);
    // The stored record, or a default (invalid) one.
    MapInfo FindMap(const MapInfo::Id& id) const;
    Maps GetMaps() const;

    MapInfo GetDeletingMap() const;
    MapInfo GetDownloadingMap() const;
    MapInfo GetPendingMap() const;
    MapInfo GetInstalledMap() const;
    // The newest record of the type; on equal releases the one met first.
    MapInfo GetMandatoryMap() const;
    MapInfo GetOptionalMap() const;
    Maps GetRootMaps() const;

private:
    MapStorage() = default;

    template <typename Predicate> MapInfo FindFirst(Predicate matches) const;
    MapInfo FindNewest(MapInfo::Type type) const;

    SubscriptionInfo subscription;
    Maps maps;
    // Recursive: the queries take snapshots through the locked operations.
    mutable std::recursive_mutex mutex;
};
