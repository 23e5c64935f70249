#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// A downloaded map waits on the stick for installation in the vehicle.
class PendingUpdate : public boost::statechart::state<PendingUpdate, Common> {
public:
    explicit PendingUpdate(my_context context);
};

} // namespace States
