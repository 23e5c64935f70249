#pragma once

#include "DeviceDiscoveryImpl/Callbacks.h"

#include <mutex>
#include <string>
#include <vector>

// Records the callbacks of a discovery as "arrival <uid>", "removal <uid>" and "no device", from whichever
// thread they come.
class CallbackRecorder {
public:
    DeviceDiscoveryImpl::Callbacks Callbacks();
    std::vector<std::string> Events();
    std::vector<DeviceDiscovery::DeviceProperties> Arrivals();
    // Runs the event loop until at least count events are recorded (or a few seconds have passed).
    bool WaitForEvents(std::size_t count);

private:
    void Record(const std::string& event);

    std::mutex m_mutex;
    std::vector<std::string> m_events;
    std::vector<DeviceDiscovery::DeviceProperties> m_arrivals;
};
