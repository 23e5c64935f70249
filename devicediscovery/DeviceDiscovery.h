#pragma once

#include "DeviceDiscovery/DeviceProperties.h"
#include "DeviceDiscovery/DiscoveryConfig.h"
#include "DeviceDiscovery/DiscoveryNotifier.h"

#include <cstdint>
#include <memory>

namespace DeviceDiscovery {

// A config with empty filters and no callbacks.
std::unique_ptr<DiscoveryConfig> createConfig();

// Starts polling every intervalMs milliseconds, the first time one interval from now. A config that
// createConfig did not make gives no notifier.
std::unique_ptr<DiscoveryNotifier> startDiscovery(std::unique_ptr<DiscoveryConfig> config, std::uint16_t intervalMs);

} // namespace DeviceDiscovery
