#include "DeviceDiscoveryImpl/DiscoveryConfig.h"

namespace DeviceDiscoveryImpl {

namespace {

template <typename T> bool Accepts(const std::set<T>& accepted, std::uint16_t value)
{
    return accepted.empty() || accepted.count(value) != 0;
}

} // namespace

void DiscoveryConfig::setArrivalCallback(DeviceDiscovery::ArrivalCallback callback)
{
    m_callbacks.arrival = std::move(callback);
}

void DiscoveryConfig::setRemovalCallback(DeviceDiscovery::RemovalCallback callback)
{
    m_callbacks.removal = std::move(callback);
}

void DiscoveryConfig::setNoDeviceCallback(DeviceDiscovery::NoDeviceCallback callback)
{
    m_callbacks.noDevice = std::move(callback);
}

void DiscoveryConfig::addDeviceType(std::uint16_t type)
{
    m_deviceTypes.insert(type);
}

void DiscoveryConfig::addProductId(std::uint16_t productId)
{
    m_productIds.insert(productId);
}

void DiscoveryConfig::addVendorId(std::uint16_t vendorId)
{
    m_vendorIds.insert(vendorId);
}

bool DiscoveryConfig::acceptsDeviceType(std::uint16_t type) const
{
    return Accepts(m_deviceTypes, type);
}

bool DiscoveryConfig::acceptsProductId(std::uint16_t productId) const
{
    return Accepts(m_productIds, productId);
}

bool DiscoveryConfig::acceptsVendorId(std::uint16_t vendorId) const
{
    return Accepts(m_vendorIds, vendorId);
}

} // namespace DeviceDiscoveryImpl
