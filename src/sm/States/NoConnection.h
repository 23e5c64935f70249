#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// The content-update service cannot be reached.
class NoConnection : public boost::statechart::state<NoConnection, Common> {
public:
    explicit NoConnection(my_context context);
};

} // namespace States
