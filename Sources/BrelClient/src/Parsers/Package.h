#pragma once

#include "Group.h"

#include <cstdint>
#include <string>
#include <tuple>

namespace Brel {

// A downloadable package: a group with the package's total size.
struct Package {
    std::string identifier;
    std::string targetProduct;
    std::string targetCustomer;
    std::string version;
    std::int64_t totalSizeInBytes = 0;
    Group group;
};

inline bool operator==(const Package& a, const Package& b)
{
    return std::tie(a.identifier, a.targetProduct, a.targetCustomer, a.version, a.totalSizeInBytes, a.group)
        == std::tie(b.identifier, b.targetProduct, b.targetCustomer, b.version, b.totalSizeInBytes, b.group);
}

} // namespace Brel
