#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {
class UpToDate;

// An offer is shown. Every way in names the offer or resumes the one left last
// (history), so the declared initial offer is only a default.
class MapUpdatePresent
    : public boost::statechart::state<MapUpdatePresent, Common, UpToDate, boost::statechart::has_shallow_history> {
public:
    explicit MapUpdatePresent(my_context context);
};

} // namespace States
