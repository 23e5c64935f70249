#include "DeviceDiscoveryImpl/PlatformVisitor.h"

namespace DeviceDiscoveryImpl {

std::uint64_t PlatformVisitor::uid(std::uint16_t first, std::uint16_t second, const std::string& serial) const
{
    std::uint32_t hash = 2166136261u;
    for (const char byte : serial) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 16777619u;
    }
    const std::uint64_t high = (static_cast<std::uint64_t>(first) << 16) | second;
    return (high << 32) | hash;
}

} // namespace DeviceDiscoveryImpl
