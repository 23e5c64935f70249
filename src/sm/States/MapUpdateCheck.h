#pragma once

#include "States/NetworkOperation.h"

#include <boost/statechart/state.hpp>

namespace States {

// An update check runs.
class MapUpdateCheck : public boost::statechart::state<MapUpdateCheck, NetworkOperation> {
public:
    explicit MapUpdateCheck(my_context context);
};

} // namespace States
