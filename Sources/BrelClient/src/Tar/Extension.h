#pragma once

#include <boost/optional.hpp>

#include <cstdint>
#include <string>

namespace Brel {
namespace Tar {

// What extension entries (pax extended headers, GNU long names) say about the
// entry that follows them. Applied once, then forgotten.
class Extension {
public:
    // "<length> <key>=<value>\n" records; "path" and "size" are kept, the other
    // keys are ignored. Throws std::runtime_error on a malformed record.
    void ReadPax(const std::string& records);
    // A GNU long name: the data up to its first zero byte.
    void ReadLongName(const std::string& data);

    std::string TakeName(const std::string& headerName);
    std::int64_t TakeSize(std::int64_t headerSize);

private:
    void ReadRecord(const std::string& key, const std::string& value);

    boost::optional<std::string> name_;
    boost::optional<std::int64_t> size_;
};

} // namespace Tar
} // namespace Brel
