#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// A newly found stick is being verified.
class UsbCheck : public boost::statechart::state<UsbCheck, Common> {
public:
    explicit UsbCheck(my_context context);
};

} // namespace States
