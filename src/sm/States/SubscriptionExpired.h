#pragma once

#include "States/MapUpdatePresent.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// The subscription has ended; the installed map can be restored.
class SubscriptionExpired : public boost::statechart::state<SubscriptionExpired, MapUpdatePresent> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::DownloadMap>>;

    explicit SubscriptionExpired(my_context ctx);

    boost::statechart::result react(const Events::DownloadMap&);
};

} // namespace States
