#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// The stick's metadata is invalid.
class MetadataCorrupt : public boost::statechart::state<MetadataCorrupt, Common> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::UsbRemove>>;

    explicit MetadataCorrupt(my_context ctx);

    boost::statechart::result react(const Events::UsbRemove&);
};

} // namespace States
