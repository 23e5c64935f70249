#pragma once

#include "States/MapUpdatePresent.h"

#include <boost/statechart/state.hpp>

namespace States {

// A mandatory map update is offered.
class MandatoryUpdate : public boost::statechart::state<MandatoryUpdate, MapUpdatePresent> {
public:
    explicit MandatoryUpdate(my_context context);
};

} // namespace States
