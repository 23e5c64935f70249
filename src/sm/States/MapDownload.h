#pragma once

#include "States/NetworkOperation.h"

#include <boost/statechart/state.hpp>

namespace States {

// A map download runs.
class MapDownload : public boost::statechart::state<MapDownload, NetworkOperation> {
public:
    explicit MapDownload(my_context context);
};

} // namespace States
