#pragma once

#include <boost/filesystem/path.hpp>

#include <string>

namespace Brel {
namespace Tar {

// Turns an archive entry's name into a path below the root. Both "/" and "\"
// separate folders; absolute names and ".." components are refused, so no
// entry can land outside the root.
class EntryPath {
public:
    static boost::filesystem::path Resolve(const boost::filesystem::path& root, const std::string& name);
    // The name ends in a separator (the old way of marking a folder).
    static bool NamesFolder(const std::string& name);
};

} // namespace Tar
} // namespace Brel
