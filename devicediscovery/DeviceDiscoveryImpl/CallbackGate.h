#pragma once

#include <functional>
#include <mutex>

namespace DeviceDiscoveryImpl {

// Lets callbacks through until the discovery's owner stops it. Stopping reaches the worker only through its
// event queue, so a poll already under way could otherwise still call into an owner that is gone.
class CallbackGate {
public:
    // Closes the gate; a callback running on another thread is waited for.
    void disarm();
    // Runs the callback unless the gate is closed.
    void pass(const std::function<void()>& callback);

private:
    // Recursive, because a callback may stop its own discovery.
    std::recursive_mutex m_mutex;
    bool m_armed = true;
};

} // namespace DeviceDiscoveryImpl
