#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace Brel {
struct Group;
struct Package;
} // namespace Brel

// One map package known for the current stick.
struct MapInfo {
    // The service's package identifier; the key of the catalogue.
    using Id = std::string;

    enum Type : std::int32_t { Installed = 0, Optional = 1, Mandatory = 2 };
    enum State : std::int32_t { Unknown = 0, Available = 1, Deleting = 2, Downloading = 3, Pending = 4 };

    // A default record (state Unknown) stands for "no such map".
    bool IsValid() const { return state != Unknown; }
    void Reset() { *this = MapInfo(); }

    // Copies identifier, region, release and map line (and the size of a
    // package) from a metadata document.
    void SetMetadata(const Brel::Group& group);
    void SetMetadata(const Brel::Package& package);

    Type type = Optional;
    State state = Unknown;
    Id id;
    std::wstring name;
    std::string mapLineId;
    std::string release;
    std::string region;
    std::string checksum;
    std::string url;
    std::int64_t downloaded = 0;
    std::int64_t size = 0;
    bool root = false;
};

std::ostream& operator<<(std::ostream& out, MapInfo::Type type);
std::ostream& operator<<(std::ostream& out, MapInfo::State state);

// True when the first map's release lies before the second one's; an
// unparsable release is older than every valid one.
bool IsOlder(const MapInfo& first, const MapInfo& second);
