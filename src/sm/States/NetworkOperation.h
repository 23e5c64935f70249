#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {
class MapUpdateCheck;

// Work that talks to the content-update service: an update check or a map download.
// Its history brings back the interrupted one on a retry.
class NetworkOperation : public boost::statechart::state<NetworkOperation, Common, MapUpdateCheck,
                             boost::statechart::has_shallow_history> {
public:
    explicit NetworkOperation(my_context context);
};

} // namespace States
