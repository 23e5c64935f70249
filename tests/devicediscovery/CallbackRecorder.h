#pragma once

#include "DeviceDiscoveryImpl/Callbacks.h"

#include <mutex>
#include <string>
#include <vector>

// Records a discovery's callbacks as "arrival <uid>", "removal <uid>" and "no device", from any thread.
class CallbackRecorder {
public:
    DeviceDiscoveryImpl::Callbacks Callbacks()
    {
        return {[this](const DeviceDiscovery::DeviceProperties& d) { Record("arrival " + std::to_string(d.uid)); },
            [this](std::uint64_t uid) { Record("removal " + std::to_string(uid)); }, [this] { Record("no device"); }};
    }

    std::vector<std::string> Events()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }

private:
    void Record(const std::string& event)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(event);
    }

    std::mutex m_mutex;
    std::vector<std::string> m_events;
};
