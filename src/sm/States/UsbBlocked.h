#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// The stick cannot be written.
class UsbBlocked : public boost::statechart::state<UsbBlocked, Common> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::CancelDownload>,
        boost::statechart::custom_reaction<Events::Quit>>;

    explicit UsbBlocked(my_context ctx);

    boost::statechart::result react(const Events::CancelDownload&);
    boost::statechart::result react(const Events::Quit&);
};

} // namespace States
