#pragma once

#include "States/MapUpdatePresent.h"

#include <boost/statechart/state.hpp>

namespace States {

// An optional map update is offered.
class OptionalUpdate : public boost::statechart::state<OptionalUpdate, MapUpdatePresent> {
public:
    explicit OptionalUpdate(my_context context);
};

} // namespace States
