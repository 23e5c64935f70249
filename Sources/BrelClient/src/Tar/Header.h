#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace Brel {
namespace Tar {

// One 512-byte tar header block. Every field is read within its own bounds;
// the block is trusted only after Verify().
class Header {
public:
    static constexpr std::size_t blockSize = 512;
    using Block = std::array<char, blockSize>;

    explicit Header(const Block& block);

    // An empty name marks the end of the archive.
    bool IsEnd() const;
    // Throws std::runtime_error unless the stored checksum matches the block,
    // summed with unsigned or with signed bytes.
    void Verify() const;
    // The name, joined to the ustar prefix when the block is ustar.
    std::string Name() const;
    // The size field: octal text or a base-256 number. Throws when it is neither.
    std::int64_t Size() const;
    char Type() const;

private:
    std::string Field(std::size_t offset, std::size_t length) const;
    std::int64_t Octal(std::size_t offset, std::size_t length) const;
    std::int64_t Base256(std::size_t offset, std::size_t length) const;

    const Block& block_;
};

} // namespace Tar
} // namespace Brel
