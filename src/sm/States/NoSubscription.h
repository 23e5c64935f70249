#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// The vehicle has no map subscription.
class NoSubscription : public boost::statechart::state<NoSubscription, Common> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::UsbRemove>>;

    explicit NoSubscription(my_context ctx);

    boost::statechart::result react(const Events::UsbRemove&);
};

} // namespace States
