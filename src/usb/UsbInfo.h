#pragma once

#include <cstdint>
#include <ostream>
#include <string>

// One USB stick as the program knows it; a plain value, copied freely.
struct UsbInfo {
    // From device discovery; 0 means no stick.
    using Id = std::uint64_t;

    enum State : std::int32_t {
        InvalidMetadata = 0, // checksum list missing, empty or invalid, a file unlisted, or a checksum different
        NoMetadata = 1, // no update folder on the stick
        ValidMetadata = 2,
    };

    bool IsValid() const { return id != 0; }

    Id id = 0;
    std::wstring path; // the stick's root folder
    std::uint64_t totalSpace = 0; // capacity in bytes
    std::uint64_t availableSpace = 0; // free bytes available to the user
    State state = NoMetadata;
    bool selected = false;
};

// Writes the state's name; nothing for a value outside the enumeration.
std::ostream& operator<<(std::ostream& out, UsbInfo::State state);
