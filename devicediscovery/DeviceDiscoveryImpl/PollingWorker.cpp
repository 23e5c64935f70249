#include "DeviceDiscoveryImpl/PollingWorker.h"

#include <QTimer>

#include <set>

namespace DeviceDiscoveryImpl {

PollingWorker::PollingWorker(std::unique_ptr<PlatformVisitor> visitor, Callbacks callbacks, std::uint16_t intervalMs,
    std::shared_ptr<CallbackGate> gate)
    : m_visitor(std::move(visitor))
    , m_callbacks(std::move(callbacks))
    , m_intervalMs(intervalMs)
    , m_gate(std::move(gate))
{
}

void PollingWorker::onStart()
{
    QMetaObject::invokeMethod(this, &PollingWorker::onStartInternal, Qt::QueuedConnection);
}

void PollingWorker::onStop()
{
    QMetaObject::invokeMethod(this, &PollingWorker::onStopInternal, Qt::QueuedConnection);
}

void PollingWorker::onForget(std::uint64_t uid)
{
    m_knownDevices.erase(uid);
}

// The first poll happens one interval after the start, not at once.
void PollingWorker::onStartInternal()
{
    if (m_running)
        return;
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &PollingWorker::onPollingTimeout);
    m_timer->start(m_intervalMs);
    m_running = true;
}

void PollingWorker::onStopInternal()
{
    if (!m_running)
        return;
    m_timer->stop();
    emit stopped();
    m_running = false;
    m_visitor->cleanup();
}

void PollingWorker::onPollingTimeout()
{
    std::vector<DeviceDiscovery::DeviceProperties> present;
    m_visitor->visit(present, false);

    std::set<std::uint64_t> presentUids;
    std::vector<DeviceDiscovery::DeviceProperties> arrivals;
    for (const DeviceDiscovery::DeviceProperties& device : present) {
        presentUids.insert(device.uid);
        if (m_knownDevices.emplace(device.uid, device).second) {
            arrivals.push_back(device);
            m_absenceReported = false;
        }
    }
    std::vector<std::uint64_t> removals;
    for (auto known = m_knownDevices.begin(); known != m_knownDevices.end();) {
        if (presentUids.count(known->first) == 0) {
            removals.push_back(known->first);
            known = m_knownDevices.erase(known);
        } else {
            ++known;
        }
    }
    report(arrivals, removals);
}

// Arrivals first, then removals; the absence of devices is reported once per period without any.
void PollingWorker::report(
    const std::vector<DeviceDiscovery::DeviceProperties>& arrivals, const std::vector<std::uint64_t>& removals)
{
    if (m_callbacks.arrival) {
        for (const DeviceDiscovery::DeviceProperties& device : arrivals)
            m_gate->pass([&] { m_callbacks.arrival(device); });
    }
    if (m_callbacks.removal) {
        for (const std::uint64_t uid : removals)
            m_gate->pass([&] { m_callbacks.removal(uid); });
    }
    if (arrivals.empty() && m_knownDevices.empty() && !m_absenceReported && m_callbacks.noDevice) {
        m_absenceReported = true;
        m_gate->pass(m_callbacks.noDevice);
    }
}

} // namespace DeviceDiscoveryImpl
