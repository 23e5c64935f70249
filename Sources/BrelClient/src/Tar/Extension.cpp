#include "Extension.h"

#include <limits>
#include <stdexcept>

namespace Brel {
namespace Tar {

namespace {

[[noreturn]] void Malformed()
{
    throw std::runtime_error("malformed pax extended header");
}

// A decimal number without sign or blanks, as pax lengths and sizes are written.
std::int64_t Decimal(const std::string& text)
{
    if (text.empty())
        Malformed();
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > (std::numeric_limits<std::int64_t>::max() - 9) / 10)
            Malformed();
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

void Extension::ReadPax(const std::string& records)
{
    std::size_t position = 0;
    while (position < records.size()) {
        const std::size_t space = records.find(' ', position);
        if (space == std::string::npos)
            Malformed();
        const std::int64_t length = Decimal(records.substr(position, space - position));
        if (length > static_cast<std::int64_t>(records.size() - position))
            Malformed();
        const std::size_t end = position + static_cast<std::size_t>(length);
        const std::size_t equals = records.find('=', space);
        // The length counts its own digits, the space and the newline.
        if (end <= space + 1 || records[end - 1] != '\n' || equals == std::string::npos || equals >= end)
            Malformed();
        ReadRecord(records.substr(space + 1, equals - space - 1), records.substr(equals + 1, end - 1 - equals - 1));
        position = end;
    }
}

void Extension::ReadLongName(const std::string& data)
{
    name_ = data.substr(0, data.find('\0'));
}

std::string Extension::TakeName(const std::string& headerName)
{
    const std::string name = name_.value_or(headerName);
    name_.reset();
    return name;
}

std::int64_t Extension::TakeSize(std::int64_t headerSize)
{
    const std::int64_t size = size_.value_or(headerSize);
    size_.reset();
    return size;
}

void Extension::ReadRecord(const std::string& key, const std::string& value)
{
    if (key == "path")
        name_ = value;
    else if (key == "size")
        size_ = Decimal(value);
}

} // namespace Tar
} // namespace Brel
