#pragma once

#include "DeviceDiscovery/DiscoveryNotifier.h"
#include "DeviceDiscoveryImpl/CallbackGate.h"

#include <QObject>

#include <cstdint>
#include <memory>

namespace DeviceDiscoveryImpl {

// The notifier handed to the caller. Its destruction disarms the worker's callbacks at once and, through the
// destroyed signal, stops the worker on its own thread.
class PollingEndpoint : public QObject, public DeviceDiscovery::DiscoveryNotifier {
    Q_OBJECT
public:
    explicit PollingEndpoint(std::shared_ptr<CallbackGate> gate);
    ~PollingEndpoint() override;
    void rediscover(std::uint64_t uid) override;

signals:
    void rediscoverRequested(std::uint64_t uid);

private:
    std::shared_ptr<CallbackGate> m_gate;
};

} // namespace DeviceDiscoveryImpl
