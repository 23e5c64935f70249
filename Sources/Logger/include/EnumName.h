#pragma once

#include <array>
#include <cstddef>
#include <ostream>

namespace Log {

// Writes the name of an enumeration value whose names are listed in value
// order from 0; a value outside the list writes nothing.
template <typename Enum, std::size_t N>
std::ostream& WriteEnumName(std::ostream& out, Enum value, const std::array<const char*, N>& names)
{
    const auto index = static_cast<long long>(value);
    if (index >= 0 && static_cast<std::size_t>(index) < N)
        out << names[static_cast<std::size_t>(index)];
    return out;
}

} // namespace Log
