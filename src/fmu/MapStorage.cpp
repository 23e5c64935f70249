#include "MapStorage.h"

#include "Log.h"

#include <QString>

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

void DumpMap(const MapInfo& map)
{
    LOG(Debug) << "map.id=" << map.id;
    LOG(Debug) << "map.type=" << map.type;
    LOG(Debug) << "map.state=" << map.state;
    LOG(Debug) << "map.release=" << map.release;
    LOG(Debug) << "map.mapLineId=" << map.mapLineId;
    LOG(Debug) << "map.name=" << QString::fromStdWString(map.name);
    LOG(Debug) << "map.size=" << map.size;
    LOG(Debug) << "map.downloaded=" << map.downloaded;
    LOG(Debug) << "map.url=" << map.url;
    LOG(Debug) << "map.root=" << (map.root ? "true" : "false");
}

} // namespace

MapStorage& MapStorage::Instance()
{
    static MapStorage instance;
    return instance;
}

// The subscription is read on the GUI thread while the map update thread
// writes it, so both sides go through the lock and hand over copies.
SubscriptionInfo MapStorage::GetSubscription() const
{
    Lock lock(mutex);
    return subscription;
}

void MapStorage::SetSubscription(SubscriptionInfo value)
{
    Lock lock(mutex);
    subscription = value;
}

void MapStorage::Clear()
{
    LOG(Debug) << "Removing all maps";
    Lock lock(mutex);
    subscription = SubscriptionInfo();
    maps.clear();
}

void MapStorage::UpdateMap(MapInfo map)
{
    Lock lock(mutex);
    auto found = maps.find(map.id);
    if (found == maps.end()) {
        LOG(Debug) << "Adding new map: " << map.id;
        found = maps.emplace(map.id, std::move(map)).first;
    } else {
        LOG(Debug) << "Updating map: " << map.id;
        found->second = std::move(map);
    }
    DumpMap(found->second);
}

void MapStorage::RemoveMap(const MapInfo::Id& id)
{
    LOG(Debug) << "Removing map: " << id;
    Lock lock(mutex);
    maps.erase(id);
}

MapInfo MapStorage::FindMap(const MapInfo::Id& id) const
{
    Lock lock(mutex);
    const auto found = maps.find(id);
    return found == maps.end() ? MapInfo() : found->second;
}

MapStorage::Maps MapStorage::GetMaps() const
{
    Lock lock(mutex);
    return maps;
}

template <typename Predicate> MapInfo MapStorage::FindFirst(Predicate matches) const
{
    for (const auto& entry : GetMaps()) {
        if (matches(entry.second))
            return entry.second;
    }
    return MapInfo();
}

MapInfo MapStorage::GetDeletingMap() const
{
    return FindFirst([](const MapInfo& map) { return map.state == MapInfo::Deleting; });
}

MapInfo MapStorage::GetDownloadingMap() const
{
    return FindFirst([](const MapInfo& map) { return map.state == MapInfo::Downloading; });
}

MapInfo MapStorage::GetPendingMap() const
{
    return FindFirst([](const MapInfo& map) { return map.state == MapInfo::Pending; });
}

MapInfo MapStorage::GetInstalledMap() const
{
    return FindFirst([](const MapInfo& map) { return map.type == MapInfo::Installed; });
}

MapInfo MapStorage::FindNewest(MapInfo::Type type) const
{
    MapInfo newest;
    for (const auto& entry : GetMaps()) {
        const MapInfo& map = entry.second;
        if (map.type == type && (!newest.IsValid() || IsOlder(newest, map)))
            newest = map;
    }
    return newest;
}

MapInfo MapStorage::GetMandatoryMap() const
{
    return FindNewest(MapInfo::Mandatory);
}

MapInfo MapStorage::GetOptionalMap() const
{
    return FindNewest(MapInfo::Optional);
}

MapStorage::Maps MapStorage::GetRootMaps() const
{
    Maps roots;
    for (const auto& entry : GetMaps()) {
        if (entry.second.root)
            roots.insert(entry);
    }
    return roots;
}
