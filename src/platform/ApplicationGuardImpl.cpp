#include "ApplicationGuardImpl.h"

#include "Log.h"

namespace {

const QString kEventName = "TESSALY_SINGLE_INSTANCE_MUTEX";

} // namespace

ApplicationGuard::Impl::Impl(ApplicationGuard& guard, const QString& eventFolder)
    : guard(guard)
    , eventFolder(eventFolder)
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
    event = std::make_unique<NamedEvent>(eventFolder, kEventName);
    if (event->Open()) {
        LOG(Debug) << "Another running application found, signalling via system event";
        event->Pulse();
        event.reset();
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
        if (!event->Wait())
            return;
        if (!handle.load())
            break;
        LOG(Debug) << "System event signalled";
        emit guard.ApplicationEvent(Activate);
    }
    LOG(Debug) << "Application guard stopped";
}
