#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// A downloaded map waits on the stick for installation in the vehicle.
class PendingUpdate : public boost::statechart::state<PendingUpdate, Common> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::CancelDownload>,
        boost::statechart::custom_reaction<Events::UsbRemove>>;

    explicit PendingUpdate(my_context ctx);

    boost::statechart::result react(const Events::CancelDownload&);
    boost::statechart::result react(const Events::UsbRemove&);
};

} // namespace States
