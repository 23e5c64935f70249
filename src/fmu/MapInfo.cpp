#include "MapInfo.h"

#include "Parsers.h"
#include "ReleaseDate.h"

std::ostream& operator<<(std::ostream& out, MapInfo::Type type)
{
    switch (type) {
    case MapInfo::Installed:
        return out << "Installed";
    case MapInfo::Optional:
        return out << "Optional";
    case MapInfo::Mandatory:
        return out << "Mandatory";
    }
    return out;
}

std::ostream& operator<<(std::ostream& out, MapInfo::State state)
{
    switch (state) {
    case MapInfo::Unknown:
        return out << "Unknown";
    case MapInfo::Available:
        return out << "Available";
    case MapInfo::Deleting:
        return out << "Deleting";
    case MapInfo::Downloading:
        return out << "Downloading";
    case MapInfo::Pending:
        return out << "Pending";
    }
    return out;
}

bool IsOlder(const MapInfo& first, const MapInfo& second)
{
    return DayNumber(ReleaseToDate(first.release)) < DayNumber(ReleaseToDate(second.release));
}

// A group names its maps with a 'G' where their packages carry a 'P'.
void MapInfo::SetMetadata(const Brel::Group& group)
{
    id = group.identifier;
    if (id.size() > 1)
        id[1] = 'P';
    region = group.item.region;
    release = group.item.releaseCycle;
    mapLineId = group.item.ndsMapLineId;
}

void MapInfo::SetMetadata(const Brel::Package& package)
{
    id = package.identifier;
    region = package.group.item.region;
    release = package.group.item.releaseCycle;
    mapLineId = package.group.item.ndsMapLineId;
    size = package.totalSizeInBytes;
}
