#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// A newly found stick is being verified. A verification that leaves the
// selected stick as it was goes back to where the stick was found.
class UsbCheck : public boost::statechart::state<UsbCheck, Common> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::InvalidMetadata>,
        boost::statechart::custom_reaction<Events::NoMetadata>,
        boost::statechart::custom_reaction<Events::ValidMetadata>, boost::statechart::custom_reaction<Events::Quit>>;

    explicit UsbCheck(my_context ctx);

    boost::statechart::result react(const Events::InvalidMetadata&);
    boost::statechart::result react(const Events::NoMetadata&);
    boost::statechart::result react(const Events::ValidMetadata&);
    boost::statechart::result react(const Events::Quit&);

private:
    boost::statechart::result NotSelected(Events::Origin origin, const char* event);
};

} // namespace States
