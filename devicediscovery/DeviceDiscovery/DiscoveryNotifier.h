#pragma once

#include <cstdint>

namespace DeviceDiscovery {

// Handle of a running discovery: destroying it stops the discovery, and once the destructor has returned none
// of the discovery's callbacks runs any more. It waits for a callback under way on the discovery thread, so a
// callback must never wait for the thread that destroys the notifier.
class DiscoveryNotifier {
public:
    virtual ~DiscoveryNotifier() = default;
    // Forgets a device, so that the next poll reports it as arriving if it is still there; one gone by then is
    // reported neither way. May be called from any thread.
    virtual void rediscover(std::uint64_t uid) = 0;
};

} // namespace DeviceDiscovery
