#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// The service failed or a download was wrong.
class ServerError : public boost::statechart::state<ServerError, Common> {
public:
    explicit ServerError(my_context context);
};

} // namespace States
