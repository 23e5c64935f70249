#pragma once

#include "NdsMapProduct.h"

#include <boost/optional.hpp>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace Brel {

// The map described by a metadata document: region, map line, release and its products.
struct Item {
    std::string region;
    boost::optional<std::string> sourceDatabaseId;
    std::string databaseModelVersion;
    std::string ndsMapLineId;
    std::int32_t ndsMapId = 0;
    std::string releaseCycle;
    boost::optional<std::string> redeliveryCount;
    std::vector<NdsMapProduct> ndsMapProducts; // document order
};

inline bool operator==(const Item& a, const Item& b)
{
    return std::tie(a.region, a.sourceDatabaseId, a.databaseModelVersion, a.ndsMapLineId, a.ndsMapId, a.releaseCycle,
               a.redeliveryCount, a.ndsMapProducts)
        == std::tie(b.region, b.sourceDatabaseId, b.databaseModelVersion, b.ndsMapLineId, b.ndsMapId, b.releaseCycle,
            b.redeliveryCount, b.ndsMapProducts);
}

} // namespace Brel
