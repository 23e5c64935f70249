#include "CallbackRecorder.h"

#include <QTest>

DeviceDiscoveryImpl::Callbacks CallbackRecorder::Callbacks()
{
    DeviceDiscoveryImpl::Callbacks callbacks;
    callbacks.arrival = [this](const DeviceDiscovery::DeviceProperties& device) {
        Record("arrival " + std::to_string(device.uid));
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_arrivals.push_back(device);
    };
    callbacks.removal = [this](std::uint64_t uid) { Record("removal " + std::to_string(uid)); };
    callbacks.noDevice = [this] { Record("no device"); };
    return callbacks;
}

std::vector<std::string> CallbackRecorder::Events()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::vector<DeviceDiscovery::DeviceProperties> CallbackRecorder::Arrivals()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_arrivals;
}

bool CallbackRecorder::WaitForEvents(std::size_t count)
{
    return QTest::qWaitFor([&] { return Events().size() >= count; }, 5000);
}

void CallbackRecorder::Record(const std::string& event)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back(event);
}
