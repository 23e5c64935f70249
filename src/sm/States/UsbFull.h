#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// The stick has too little free space for the rest of the map.
class UsbFull : public boost::statechart::state<UsbFull, Common> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::CancelDownload>,
        boost::statechart::custom_reaction<Events::UsbRemove>, boost::statechart::custom_reaction<Events::Quit>>;

    explicit UsbFull(my_context ctx);

    boost::statechart::result react(const Events::CancelDownload&);
    boost::statechart::result react(const Events::UsbRemove&);
    boost::statechart::result react(const Events::Quit&);
};

} // namespace States
