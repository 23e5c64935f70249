#pragma once

#include "DeviceDiscovery/DiscoveryConfig.h"
#include "DeviceDiscoveryImpl/Callbacks.h"

#include <cstdint>
#include <set>

namespace DeviceDiscoveryImpl {

class DiscoveryConfig : public DeviceDiscovery::DiscoveryConfig {
public:
    void setArrivalCallback(DeviceDiscovery::ArrivalCallback callback) override;
    void setRemovalCallback(DeviceDiscovery::RemovalCallback callback) override;
    void setNoDeviceCallback(DeviceDiscovery::NoDeviceCallback callback) override;
    void addDeviceType(std::uint16_t type) override;
    void addProductId(std::uint16_t productId) override;
    void addVendorId(std::uint16_t vendorId) override;

    bool acceptsDeviceType(std::uint16_t type) const;
    bool acceptsProductId(std::uint16_t productId) const;
    bool acceptsVendorId(std::uint16_t vendorId) const;
    const Callbacks& callbacks() const { return m_callbacks; }

private:
    std::set<std::uint64_t> m_productIds;
    std::set<std::uint64_t> m_vendorIds;
    std::set<std::uint16_t> m_deviceTypes;
    Callbacks m_callbacks;
};

} // namespace DeviceDiscoveryImpl
