#pragma once

#include "Item.h"

#include <string>
#include <tuple>

namespace Brel {

// A group of maps: the metadata of one item.
struct Group {
    std::string identifier;
    std::string targetProduct;
    std::string targetCustomer;
    std::string version;
    Item item;
};

inline bool operator==(const Group& a, const Group& b)
{
    return std::tie(a.identifier, a.targetProduct, a.targetCustomer, a.version, a.item)
        == std::tie(b.identifier, b.targetProduct, b.targetCustomer, b.version, b.item);
}

} // namespace Brel
