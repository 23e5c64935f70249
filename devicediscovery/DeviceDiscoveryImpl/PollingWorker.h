#pragma once

#include "DeviceDiscoveryImpl/CallbackGate.h"
#include "DeviceDiscoveryImpl/Callbacks.h"
#include "DeviceDiscoveryImpl/PlatformVisitor.h"

#include <QObject>

#include <cstdint>
#include <map>
#include <memory>

class QTimer;

namespace DeviceDiscoveryImpl {

// Polls the platform at a fixed interval on the discovery thread and reports what came and went since the
// previous poll.
class PollingWorker : public QObject {
    Q_OBJECT
public:
    PollingWorker(std::unique_ptr<PlatformVisitor> visitor, Callbacks callbacks, std::uint16_t intervalMs,
        std::shared_ptr<CallbackGate> gate);

signals:
    void stopped();

public slots:
    // Both may be called from any thread; the work is queued onto the worker's own thread.
    void onStart();
    void onStop();

    // Queued from the endpoint's thread.
    void onForget(std::uint64_t uid);

    void onStartInternal();
    void onStopInternal();
    void onPollingTimeout();

private:
    void report(
        const std::vector<DeviceDiscovery::DeviceProperties>& arrivals, const std::vector<std::uint64_t>& removals);

    std::unique_ptr<PlatformVisitor> m_visitor;
    Callbacks m_callbacks;
    std::map<std::uint64_t, DeviceDiscovery::DeviceProperties> m_knownDevices;
    std::uint16_t m_intervalMs;
    QTimer* m_timer = nullptr;
    bool m_running = false;
    bool m_absenceReported = false;
    std::shared_ptr<CallbackGate> m_gate;
};

} // namespace DeviceDiscoveryImpl
