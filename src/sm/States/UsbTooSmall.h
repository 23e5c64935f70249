#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// The stick is smaller than the map.
class UsbTooSmall : public boost::statechart::state<UsbTooSmall, Common> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::CancelDownload>>;

    explicit UsbTooSmall(my_context ctx);

    boost::statechart::result react(const Events::CancelDownload&);
};

} // namespace States
