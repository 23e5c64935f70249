#include "ApplicationGuardImpl.h"

#include "Log.h"

namespace {

const QString kEventName = "TESSALY_SINGLE_INSTANCE_MUTEX";
// How long the event must stay quiet before the signals so far count as one.
constexpr int kQuietMs = 100;

} // namespace

ApplicationGuard::Impl::Impl(ApplicationGuard& guard, const RuntimeFolder& folder)
    : guard(guard)
    , folder(folder)
{
}

ApplicationGuard::Impl::~Impl()
{
    stopping.store(true);
    if (NamedEvent* held = handle.exchange(nullptr)) {
        LOG(Debug) << "Stopping application guard";
        held->Set();
    }
    wait();
}

void ApplicationGuard::Impl::run()
{
    if (handle.load()) {
        LOG(Debug) << "Already running";
        return;
    }
    LOG(Debug) << "Searching for another running application";
    if (const auto running = Running()) {
        LOG(Debug) << "Another running application found, signalling via system event";
        running->Pulse();
        emit guard.ApplicationEvent(Quit);
        return;
    }
    LOG(Debug) << "Registering system event";
    int error = 0;
    if (!event->Create(error)) {
        LOG(Error) << "Failed to register system event, error code: " << static_cast<unsigned>(error);
        event.reset();
        emit guard.ApplicationEvent(Quit);
        return;
    }
    LOG(Debug) << "System event registered";
    handle.store(event.get());
    emit guard.ApplicationEvent(StartUp);

    // The stop mark is checked before every wait: a stop that came before
    // the handle was published found nothing to wake.
    while (!stopping.load()) {
        if (event->Wait() != NamedEvent::Wake::Signalled || !TakeActivations())
            return;
        if (!handle.load())
            break;
        LOG(Debug) << "System event signalled";
        emit guard.ApplicationEvent(Activate);
    }
    LOG(Debug) << "Application guard stopped";
}

std::unique_ptr<NamedEvent> ApplicationGuard::Impl::Running()
{
    for (const QString& other : folder.others)
        if (auto running = std::make_unique<NamedEvent>(other, kEventName); running->Held())
            return running;
    event = std::make_unique<NamedEvent>(folder.path, kEventName);
    return event->Open() ? std::move(event) : nullptr;
}

// Signals that follow each other closely are one activation, so that a flood
// of them queues one event and not one per byte. A stop ends the wait early.
bool ApplicationGuard::Impl::TakeActivations()
{
    NamedEvent::Wake wake = NamedEvent::Wake::TimedOut;
    while (handle.load() && (wake = event->Wait(kQuietMs)) == NamedEvent::Wake::Signalled) { }
    return !handle.load() || wake != NamedEvent::Wake::Failed;
}
