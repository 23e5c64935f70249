#pragma once

#include "States/MapUpdatePresent.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// Root maps are offered: no stick with metadata is selected. A verification
// that selects a stick with metadata leaves the offer.
class RootUpdate : public boost::statechart::state<RootUpdate, MapUpdatePresent> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::RootUpdate>,
        boost::statechart::custom_reaction<Events::UsbInsert>, boost::statechart::custom_reaction<Events::UsbRemove>,
        boost::statechart::custom_reaction<Events::DownloadMap>,
        boost::statechart::custom_reaction<Events::ValidMetadata>,
        boost::statechart::custom_reaction<Events::InvalidMetadata>>;

    explicit RootUpdate(my_context ctx);

    boost::statechart::result react(const Events::RootUpdate&);
    boost::statechart::result react(const Events::UsbInsert&);
    boost::statechart::result react(const Events::UsbRemove&);
    boost::statechart::result react(const Events::DownloadMap&);
    boost::statechart::result react(const Events::ValidMetadata&);
    boost::statechart::result react(const Events::InvalidMetadata&);
};

} // namespace States
