#pragma once

#include "States/MapUpdatePresent.h"

#include <boost/statechart/state.hpp>

namespace States {

// Root maps are offered: no stick with metadata is known.
class RootUpdate : public boost::statechart::state<RootUpdate, MapUpdatePresent> {
public:
    explicit RootUpdate(my_context context);
};

} // namespace States
