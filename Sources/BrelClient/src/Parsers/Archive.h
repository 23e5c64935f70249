#pragma once

#include <string>
#include <tuple>

namespace Brel {

// Where a package's map archive is downloaded from, and its checksum.
struct Archive {
    std::string url;
    std::string checksum;
    std::string checksumType;
};

inline bool operator==(const Archive& a, const Archive& b)
{
    return std::tie(a.url, a.checksum, a.checksumType) == std::tie(b.url, b.checksum, b.checksumType);
}

} // namespace Brel
