#include "MapInfo.h"

#include "EnumName.h"

#include "Parsers.h"
#include "ReleaseDate.h"

std::ostream& operator<<(std::ostream& out, MapInfo::Type type)
{
    static constexpr std::array<const char*, 3> names {"Installed", "Optional", "Mandatory"};
    return Log::WriteEnumName(out, type, names);
}

std::ostream& operator<<(std::ostream& out, MapInfo::State state)
{
    static constexpr std::array<const char*, 5> names {"Unknown", "Available", "Deleting", "Downloading", "Pending"};
    return Log::WriteEnumName(out, state, names);
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
