#include "DeviceDiscoveryImpl/Framework.h"

#include "DeviceDiscoveryImpl/PlatformVisitorLinux.h"
#include "DeviceDiscoveryImpl/PollingEndpoint.h"
#include "DeviceDiscoveryImpl/PollingWorker.h"

namespace DeviceDiscoveryImpl {

namespace {

const unsigned long kThreadExitWaitMs = 5000;

} // namespace

Framework& Framework::instance()
{
    static Framework framework;
    return framework;
}

// The thread must be gone before its QThread is destroyed, also when the event loop that would have
// delivered the last stop has already ended.
Framework::~Framework()
{
    if (m_thread.isRunning())
        stopThread();
}

std::unique_ptr<DeviceDiscovery::DiscoveryNotifier> Framework::createNotifier(
    std::unique_ptr<DiscoveryConfig> config, std::uint16_t intervalMs)
{
    const Callbacks callbacks = config->callbacks();
    return createNotifier(callbacks, std::make_unique<PlatformVisitorLinux>(std::move(config)), intervalMs);
}

std::unique_ptr<DeviceDiscovery::DiscoveryNotifier> Framework::createNotifier(
    const Callbacks& callbacks, std::unique_ptr<PlatformVisitor> visitor, std::uint16_t intervalMs)
{
    ++m_references;
    if (!m_thread.isRunning())
        m_thread.start(QThread::InheritPriority);

    auto gate = std::make_shared<CallbackGate>();
    auto* worker = new PollingWorker(std::move(visitor), callbacks, intervalMs, gate);
    auto endpoint = std::make_unique<PollingEndpoint>(gate);
    connect(endpoint.get(), &QObject::destroyed, worker, &PollingWorker::onStop);
    connect(endpoint.get(), &PollingEndpoint::rediscoverRequested, worker, &PollingWorker::onForget);
    connect(this, &Framework::requestedToStop, worker, &PollingWorker::onStop);
    connect(worker, &PollingWorker::stopped, this, &Framework::onServiceStopped);
    worker->moveToThread(&m_thread);
    worker->onStart();
    return endpoint;
}

// The worker is scheduled for deletion before the thread is asked to exit, so the thread deletes it on its
// way out instead of leaving it behind.
void Framework::onServiceStopped()
{
    if (QObject* worker = sender())
        worker->deleteLater();
    if (--m_references == 0)
        stopThread();
}

void Framework::stopThread()
{
    m_thread.exit(0);
    if (!m_thread.wait(kThreadExitWaitMs)) {
        m_thread.terminate();
        m_thread.wait();
    }
}

} // namespace DeviceDiscoveryImpl
