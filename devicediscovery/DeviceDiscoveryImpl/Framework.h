#pragma once

#include "DeviceDiscovery/DiscoveryNotifier.h"
#include "DeviceDiscoveryImpl/Callbacks.h"
#include "DeviceDiscoveryImpl/DiscoveryConfig.h"
#include "DeviceDiscoveryImpl/PlatformVisitor.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <memory>

namespace DeviceDiscoveryImpl {

// Owns the discovery thread that every running discovery shares. The thread starts with the first discovery
// and ends when the last one has stopped.
class Framework : public QObject {
    Q_OBJECT
public:
    static Framework& instance();
    ~Framework() override;

    // Starts a discovery on the platform's drives; the visitor takes the config.
    std::unique_ptr<DeviceDiscovery::DiscoveryNotifier> createNotifier(
        std::unique_ptr<DiscoveryConfig> config, std::uint16_t intervalMs);
    // Starts a discovery that polls the given visitor.
    std::unique_ptr<DeviceDiscovery::DiscoveryNotifier> createNotifier(
        const Callbacks& callbacks, std::unique_ptr<PlatformVisitor> visitor, std::uint16_t intervalMs);

    bool isThreadRunning() const { return m_thread.isRunning(); }

signals:
    // Stops every worker.
    void requestedToStop();

public slots:
    void onServiceStopped();

private:
    Framework() = default;
    void stopThread();

    std::atomic<int> m_references {0};
    QThread m_thread;
};

} // namespace DeviceDiscoveryImpl
