#pragma once

#include "States/MapUpdatePresent.h"

#include <boost/statechart/state.hpp>

namespace States {

// The subscription has ended; the installed map can be restored.
class SubscriptionExpired : public boost::statechart::state<SubscriptionExpired, MapUpdatePresent> {
public:
    explicit SubscriptionExpired(my_context context);
};

} // namespace States
