#pragma once

#include <boost/optional.hpp>

#include <cstdint>
#include <string>
#include <tuple>

namespace Brel {

// One map product of a metadata item, read from the attributes of its element.
struct NdsMapProduct {
    std::int32_t baseLineMapId = 0;
    boost::optional<std::string> databaseModelVersion;
    boost::optional<std::int32_t> isComplete;
    std::int32_t ndsDBSupplierId = 0;
    std::string productId;
    boost::optional<std::string> productType;
    boost::optional<std::int32_t> versionId;
};

inline bool operator==(const NdsMapProduct& a, const NdsMapProduct& b)
{
    return std::tie(a.baseLineMapId, a.databaseModelVersion, a.isComplete, a.ndsDBSupplierId, a.productId,
               a.productType, a.versionId)
        == std::tie(b.baseLineMapId, b.databaseModelVersion, b.isComplete, b.ndsDBSupplierId, b.productId,
            b.productType, b.versionId);
}

} // namespace Brel
