#pragma once

#include "States/MapUpdatePresent.h"

#include <boost/statechart/state.hpp>

namespace States {

// Nothing newer than the installed map exists.
class UpToDate : public boost::statechart::state<UpToDate, MapUpdatePresent> {
public:
    explicit UpToDate(my_context context);
};

} // namespace States
