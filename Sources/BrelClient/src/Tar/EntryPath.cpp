#include "EntryPath.h"

#include <algorithm>
#include <stdexcept>

namespace Brel {
namespace Tar {

namespace {

[[noreturn]] void Refuse(const std::string& name, const char* why)
{
    throw std::runtime_error("refused tar entry name (" + std::string(why) + "): " + name);
}

} // namespace

boost::filesystem::path EntryPath::Resolve(const boost::filesystem::path& root, const std::string& name)
{
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (relative.empty())
        Refuse(name, "empty");
    if (relative.find('\0') != std::string::npos)
        Refuse(name, "zero byte");
    if (relative.front() == '/')
        Refuse(name, "absolute");
    std::size_t begin = 0;
    while (begin <= relative.size()) {
        const std::size_t end = std::min(relative.find('/', begin), relative.size());
        if (relative.compare(begin, end - begin, "..") == 0)
            Refuse(name, "parent folder");
        begin = end + 1;
    }
    return root / relative;
}

bool EntryPath::NamesFolder(const std::string& name)
{
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

} // namespace Tar
} // namespace Brel
