#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// The stick is smaller than the map.
class UsbTooSmall : public boost::statechart::state<UsbTooSmall, Common> {
public:
    explicit UsbTooSmall(my_context context);
};

} // namespace States
