#pragma once

#include <boost/optional.hpp>

#include <string>
#include <tuple>

namespace Brel {

// A package's texts in one language, decoded from UTF-8.
struct LocaleData {
    std::wstring name;
    boost::optional<std::wstring> description;
    boost::optional<std::wstring> releaseDate;
};

inline bool operator==(const LocaleData& a, const LocaleData& b)
{
    return std::tie(a.name, a.description, a.releaseDate) == std::tie(b.name, b.description, b.releaseDate);
}

} // namespace Brel
