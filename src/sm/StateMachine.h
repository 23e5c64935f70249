#pragma once

#include "ApplicationGuard.h"
#include "Collaborators.h"

#include <QObject>

#include <boost/statechart/event_base.hpp>
#include <boost/statechart/state_machine.hpp>

namespace States {
class StartUp;
} // namespace States

// The application's hierarchical state machine. It owns the single-instance
// guard and turns its reports into events; once started it lives in
// States::Common, which drives the user interface and the managers.
//
// Every event is processed synchronously on the GUI thread. An event raised
// while another one is being processed (from an entry action or a reaction)
// is refused: the engine cannot process events re-entrantly. A state may post
// one instead, which the engine processes right after the current one.
class StateMachine : public QObject, public boost::statechart::state_machine<StateMachine, States::StartUp> {
    Q_OBJECT

public:
    // Without collaborators the states run with no user interface or managers.
    explicit StateMachine(Collaborators collaborators);
    ~StateMachine() override;

    // What States::Common makes on entry.
    const Collaborators& GetCollaborators() const { return collaborators; }

    // The engine's operations, refused while another one runs.
    void initiate();
    void terminate();
    void process_event(const boost::statechart::event_base& event);

public slots:
    void HandleApplicationEvent(ApplicationGuard::Event event);

private:
    using Engine = boost::statechart::state_machine<StateMachine, States::StartUp>;

    // Runs an engine operation unless another one is running; a refusal is
    // logged with the operation's description.
    template <class Describe, class Operation> void RunAlone(Describe describe, Operation operation);

    Collaborators collaborators;
    ApplicationGuard* applicationGuard;
    bool busy = false;
};
