#pragma once

#include "Events.h"
#include "StateMachine.h"

#include <QObject>

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

class NetworkOperation;

// The running application: entered once on start-up, left only when the
// machine terminates. It is the machine's door to the user interface and the
// managers; the states below reach them through it.
class Common : public QObject, public boost::statechart::state<Common, StateMachine, NetworkOperation> {
    Q_OBJECT

public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::Activate>,
        boost::statechart::custom_reaction<Events::Quit>>;

    explicit Common(my_context context);

    boost::statechart::result react(const Events::Activate&);
    // Quits at once; also run directly by the states that ask first only
    // while a stick is selected.
    boost::statechart::result react(const Events::Quit&);
};

} // namespace States
