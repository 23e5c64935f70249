#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// The vehicle has no map subscription.
class NoSubscription : public boost::statechart::state<NoSubscription, Common> {
public:
    explicit NoSubscription(my_context context);
};

} // namespace States
