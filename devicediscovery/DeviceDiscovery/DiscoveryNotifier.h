#pragma once

namespace DeviceDiscovery {

// Handle of a running discovery: destroying it stops the discovery, and once the destructor has returned none
// of the discovery's callbacks runs any more.
class DiscoveryNotifier {
public:
    virtual ~DiscoveryNotifier() = default;
};

} // namespace DeviceDiscovery
