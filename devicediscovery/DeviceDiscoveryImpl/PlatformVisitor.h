#pragma once

#include "DeviceDiscovery/DeviceProperties.h"

#include <cstdint>
#include <string>
#include <vector>

namespace DeviceDiscoveryImpl {

// Asks the platform which drives are present. The worker polls through this interface only, so it can be
// driven by a scripted visitor.
class PlatformVisitor {
public:
    virtual ~PlatformVisitor() = default;
    // Appends the drives present now; with wait set it waits 1000 ms first.
    virtual void visit(std::vector<DeviceDiscovery::DeviceProperties>& devices, bool wait) = 0;
    // The drive identifier: the two ids side by side in the high 32 bits, the 32-bit FNV-1a hash of the
    // serial's bytes in the low 32 bits.
    virtual std::uint64_t uid(std::uint16_t first, std::uint16_t second, const std::string& serial) const;
    // Called once when the worker stops.
    virtual void cleanup() { }
};

} // namespace DeviceDiscoveryImpl
