#pragma once

#include "Group.h"
#include "Package.h"

#include <boost/variant.hpp>

namespace Brel {

// A metadata document holds either a group or a package; a default one is an empty group.
using Metadata = boost::variant<Group, Package>;

} // namespace Brel
