#include "DeviceDiscovery.h"

#include "DeviceDiscoveryImpl/DiscoveryConfig.h"
#include "DeviceDiscoveryImpl/Framework.h"

namespace DeviceDiscovery {

std::unique_ptr<DiscoveryConfig> createConfig()
{
    return std::make_unique<DeviceDiscoveryImpl::DiscoveryConfig>();
}

std::unique_ptr<DiscoveryNotifier> startDiscovery(std::unique_ptr<DiscoveryConfig> config, std::uint16_t intervalMs)
{
    std::unique_ptr<DeviceDiscoveryImpl::DiscoveryConfig> own(
        dynamic_cast<DeviceDiscoveryImpl::DiscoveryConfig*>(config.get()));
    if (!own)
        return nullptr;
    config.release();
    return DeviceDiscoveryImpl::Framework::instance().createNotifier(std::move(own), intervalMs);
}

} // namespace DeviceDiscovery
