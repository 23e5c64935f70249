#pragma once

namespace DeviceDiscovery {

// Handle of a running discovery: destroying it stops the discovery, and once the destructor has returned none
// of the discovery's callbacks runs any more. It waits for a callback under way on the discovery thread, so a
// callback must never wait for the thread that destroys the notifier.
class DiscoveryNotifier {
public:
    virtual ~DiscoveryNotifier() = default;
};

} // namespace DeviceDiscovery
