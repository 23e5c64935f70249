#pragma once

#include "States/NetworkOperation.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// An update check runs; every entry starts a new one. Only a verification
// that changed the selected stick bears on it: a stick that was merely
// added is no result of this check.
class MapUpdateCheck : public boost::statechart::state<MapUpdateCheck, NetworkOperation> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::InvalidMetadata>,
        boost::statechart::custom_reaction<Events::NoMetadata>,
        boost::statechart::custom_reaction<Events::ValidMetadata>,
        boost::statechart::custom_reaction<Events::ServerError>,
        boost::statechart::custom_reaction<Events::NoSubscription>,
        boost::statechart::custom_reaction<Events::SubscriptionExpired>,
        boost::statechart::custom_reaction<Events::RootUpdate>, boost::statechart::custom_reaction<Events::UpToDate>,
        boost::statechart::custom_reaction<Events::OptionalUpdate>,
        boost::statechart::custom_reaction<Events::MandatoryUpdate>, boost::statechart::custom_reaction<Events::Quit>>;

    explicit MapUpdateCheck(my_context ctx);

    boost::statechart::result react(const Events::InvalidMetadata&);
    boost::statechart::result react(const Events::NoMetadata&);
    boost::statechart::result react(const Events::ValidMetadata&);
    boost::statechart::result react(const Events::ServerError&);
    boost::statechart::result react(const Events::NoSubscription&);
    boost::statechart::result react(const Events::SubscriptionExpired&);
    boost::statechart::result react(const Events::RootUpdate&);
    boost::statechart::result react(const Events::UpToDate&);
    boost::statechart::result react(const Events::OptionalUpdate&);
    boost::statechart::result react(const Events::MandatoryUpdate&);
    boost::statechart::result react(const Events::Quit&);
};

} // namespace States
