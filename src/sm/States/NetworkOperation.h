#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

class MapUpdateCheck;

// Work that talks to the content-update service: an update check or a map download.
// Its history brings back the interrupted one on a retry.
class NetworkOperation : public boost::statechart::state<NetworkOperation, Common, MapUpdateCheck,
                             boost::statechart::has_shallow_history> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::NoConnection>,
        boost::statechart::custom_reaction<Events::UsbRemove>,
        boost::statechart::custom_reaction<Events::InvocationFailed>>;

    explicit NetworkOperation(my_context ctx);

    boost::statechart::result react(const Events::NoConnection&);
    boost::statechart::result react(const Events::UsbRemove&);
    boost::statechart::result react(const Events::InvocationFailed&);
};

} // namespace States
