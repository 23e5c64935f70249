#include "StateMachine.h"

#include "Events.h"
#include "States/StartUp.h"

#include "Log.h"

#include <boost/core/demangle.hpp>

#include <cassert>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <utility>

StateMachine::StateMachine(Collaborators collaborators)
    : collaborators(std::move(collaborators))
    , applicationGuard(new ApplicationGuard(this))
{
    // Queued: the guard's first report reaches the machine only once the event
    // loop runs, so a second instance never shows anything.
    connect(applicationGuard, &ApplicationGuard::ApplicationEvent, this, &StateMachine::HandleApplicationEvent,
        Qt::QueuedConnection);
    applicationGuard->Start();
}

// Leave the states while this object is still whole: their exits reach it.
StateMachine::~StateMachine()
{
    terminate();
}

void StateMachine::initiate()
{
    RunAlone([] { return std::string("initiation"); }, [this] { Engine::initiate(); });
}

void StateMachine::terminate()
{
    RunAlone([] { return std::string("termination"); }, [this] { Engine::terminate(); });
}

void StateMachine::process_event(const boost::statechart::event_base& event)
{
    RunAlone([&event] { return boost::core::demangle(typeid(event).name()); },
        [this, &event] { Engine::process_event(event); });
}

void StateMachine::HandleApplicationEvent(ApplicationGuard::Event event)
{
    switch (event) {
    case ApplicationGuard::StartUp:
        process_event(Events::StartUp());
        return;
    case ApplicationGuard::Quit:
        collaborators.quit();
        terminate();
        return;
    case ApplicationGuard::Activate:
        process_event(Events::Activate());
        return;
    }
    throw std::logic_error("Failed to handle application event: event is not supported");
}

template <class Describe, class Operation> void StateMachine::RunAlone(Describe describe, Operation operation)
{
    if (busy) {
        LOG(Error) << "Refused " << describe() << ": another event is being processed";
        assert(!"state machine re-entered");
        return;
    }
    busy = true;
    try {
        operation();
    } catch (...) {
        busy = false;
        throw;
    }
    busy = false;
}
