#pragma once

#include "DeviceDiscovery/DiscoveryConfig.h"

namespace DeviceDiscoveryImpl {

// The three callbacks of a discovery; an empty one is not called.
struct Callbacks {
    DeviceDiscovery::ArrivalCallback arrival;
    DeviceDiscovery::RemovalCallback removal;
    DeviceDiscovery::NoDeviceCallback noDevice;
};

} // namespace DeviceDiscoveryImpl
