#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// The stick cannot be written.
class UsbBlocked : public boost::statechart::state<UsbBlocked, Common> {
public:
    explicit UsbBlocked(my_context context);
};

} // namespace States
