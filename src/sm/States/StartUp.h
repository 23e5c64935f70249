#pragma once

#include "Events.h"
#include "StateMachine.h"

#include <QObject>

#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// The machine's first state: nothing is shown until the guard reports that
// this is the only instance.
class StartUp : public QObject, public boost::statechart::state<StartUp, StateMachine> {
    Q_OBJECT

public:
    using reactions = boost::statechart::custom_reaction<Events::StartUp>;

    explicit StartUp(my_context context);

    boost::statechart::result react(const Events::StartUp&);
};

} // namespace States
