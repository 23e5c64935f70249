#include "DeviceDiscoveryImpl/PollingEndpoint.h"

namespace DeviceDiscoveryImpl {

PollingEndpoint::PollingEndpoint(std::shared_ptr<CallbackGate> gate)
    : m_gate(std::move(gate))
{
}

PollingEndpoint::~PollingEndpoint()
{
    m_gate->disarm();
}

} // namespace DeviceDiscoveryImpl
