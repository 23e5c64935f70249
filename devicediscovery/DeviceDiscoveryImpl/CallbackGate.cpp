#include "DeviceDiscoveryImpl/CallbackGate.h"

namespace DeviceDiscoveryImpl {

void CallbackGate::disarm()
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_armed = false;
}

void CallbackGate::pass(const std::function<void()>& callback)
{
    const std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_armed)
        callback();
}

} // namespace DeviceDiscoveryImpl
