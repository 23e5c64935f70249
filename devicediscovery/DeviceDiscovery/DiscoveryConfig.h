#pragma once

#include "DeviceDiscovery/DeviceProperties.h"

#include <cstdint>
#include <functional>

namespace DeviceDiscovery {

using ArrivalCallback = std::function<void(const DeviceProperties&)>;
using RemovalCallback = std::function<void(std::uint64_t uid)>;
using NoDeviceCallback = std::function<void()>;

// Device type of mass-storage drives, the only type the platform enumeration serves.
constexpr std::uint16_t MassStorage = 0;

// What a discovery reports and to whom. Callbacks run on the discovery thread. An empty filter accepts every
// value.
class DiscoveryConfig {
public:
    virtual ~DiscoveryConfig() = default;
    virtual void setArrivalCallback(ArrivalCallback callback) = 0;
    virtual void setRemovalCallback(RemovalCallback callback) = 0;
    virtual void setNoDeviceCallback(NoDeviceCallback callback) = 0;
    virtual void addDeviceType(std::uint16_t type) = 0;
    virtual void addProductId(std::uint16_t productId) = 0;
    virtual void addVendorId(std::uint16_t vendorId) = 0;
};

} // namespace DeviceDiscovery
