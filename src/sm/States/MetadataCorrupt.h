#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// The stick's metadata is invalid.
class MetadataCorrupt : public boost::statechart::state<MetadataCorrupt, Common> {
public:
    explicit MetadataCorrupt(my_context context);
};

} // namespace States
