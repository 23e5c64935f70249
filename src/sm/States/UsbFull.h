#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// The stick has too little free space for the rest of the map.
class UsbFull : public boost::statechart::state<UsbFull, Common> {
public:
    explicit UsbFull(my_context context);
};

} // namespace States
