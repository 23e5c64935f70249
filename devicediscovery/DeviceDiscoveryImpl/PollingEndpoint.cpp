#include "DeviceDiscoveryImpl/PollingEndpoint.h"

namespace DeviceDiscoveryImpl {

PollingEndpoint::PollingEndpoint(std::shared_ptr<CallbackGate> gate)
    : m_gate(std::move(gate))
{
    // The worker takes it on the discovery thread.
    qRegisterMetaType<std::uint64_t>("std::uint64_t");
}

PollingEndpoint::~PollingEndpoint()
{
    m_gate->disarm();
}

void PollingEndpoint::rediscover(std::uint64_t uid)
{
    emit rediscoverRequested(uid);
}

} // namespace DeviceDiscoveryImpl
