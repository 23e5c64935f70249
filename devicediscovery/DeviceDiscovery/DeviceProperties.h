#pragma once

#include <QMetaType>

#include <cstdint>
#include <string>

namespace DeviceDiscovery {

// One discovered drive.
struct DeviceProperties {
    std::uint64_t uid = 0; // stable while the drive stays plugged in; see PlatformVisitor::uid
    std::uint16_t productId = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t extraId = 0;
    std::string serial;
    std::string path; // where the drive's files can be reached (its mount point)
};

} // namespace DeviceDiscovery

Q_DECLARE_METATYPE(DeviceDiscovery::DeviceProperties)
