#include "Header.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace Brel {
namespace Tar {

namespace {

constexpr std::size_t nameOffset = 0;
constexpr std::size_t nameLength = 100;
constexpr std::size_t sizeOffset = 124;
constexpr std::size_t sizeLength = 12;
constexpr std::size_t checksumOffset = 148;
constexpr std::size_t checksumLength = 8;
constexpr std::size_t typeOffset = 156;
constexpr std::size_t magicOffset = 257;
constexpr std::size_t prefixOffset = 345;
constexpr std::size_t prefixLength = 155;
constexpr char ustarMagic[] = "ustar"; // with its terminating zero: six bytes

[[noreturn]] void Malformed(const std::string& what)
{
    throw std::runtime_error("malformed tar header: " + what);
}

} // namespace

Header::Header(const Block& block)
    : block_(block)
{
}

bool Header::IsEnd() const
{
    return block_[nameOffset] == '\0';
}

void Header::Verify() const
{
    const std::int64_t stored = Octal(checksumOffset, checksumLength);
    std::int64_t unsignedSum = 0;
    std::int64_t signedSum = 0;
    for (std::size_t i = 0; i < blockSize; ++i) {
        const bool inField = i >= checksumOffset && i < checksumOffset + checksumLength;
        const char byte = inField ? ' ' : block_[i];
        unsignedSum += static_cast<unsigned char>(byte);
        signedSum += static_cast<signed char>(byte);
    }
    if (stored != unsignedSum && stored != signedSum)
        Malformed("checksum mismatch");
}

std::string Header::Name() const
{
    const std::string name = Field(nameOffset, nameLength);
    if (std::memcmp(&block_[magicOffset], ustarMagic, sizeof ustarMagic) != 0)
        return name;
    const std::string prefix = Field(prefixOffset, prefixLength);
    return prefix.empty() ? name : prefix + "/" + name;
}

std::int64_t Header::Size() const
{
    if (static_cast<unsigned char>(block_[sizeOffset]) & 0x80)
        return Base256(sizeOffset, sizeLength);
    return Octal(sizeOffset, sizeLength);
}

char Header::Type() const
{
    return block_[typeOffset];
}

std::string Header::Field(std::size_t offset, std::size_t length) const
{
    const char* begin = &block_[offset];
    const void* end = std::memchr(begin, '\0', length);
    return std::string(begin, end ? static_cast<const char*>(end) : begin + length);
}

// Leading spaces, octal digits, then only zero bytes or spaces up to the end
// of the field; an empty field is 0.
std::int64_t Header::Octal(std::size_t offset, std::size_t length) const
{
    std::size_t i = offset;
    const std::size_t end = offset + length;
    while (i < end && block_[i] == ' ')
        ++i;
    std::int64_t value = 0;
    for (; i < end && block_[i] >= '0' && block_[i] <= '7'; ++i) {
        if (value > (std::numeric_limits<std::int64_t>::max() >> 3))
            Malformed("number too large");
        value = value * 8 + (block_[i] - '0');
    }
    for (; i < end; ++i)
        if (block_[i] != '\0' && block_[i] != ' ')
            Malformed("bad number field");
    return value;
}

// Big-endian, the first byte's top bit being the marker; negative values
// (marker 0xff) are refused.
std::int64_t Header::Base256(std::size_t offset, std::size_t length) const
{
    const auto first = static_cast<unsigned char>(block_[offset]);
    if (first & 0x40)
        Malformed("negative size");
    std::uint64_t value = first & 0x3f;
    for (std::size_t i = offset + 1; i < offset + length; ++i) {
        if (value > (static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) >> 8))
            Malformed("number too large");
        value = (value << 8) | static_cast<unsigned char>(block_[i]);
    }
    return static_cast<std::int64_t>(value);
}

} // namespace Tar
} // namespace Brel
