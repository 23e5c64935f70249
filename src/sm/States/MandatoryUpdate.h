#pragma once

#include "States/MapUpdatePresent.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// A mandatory map update is offered. Its own event, repeated after a language
// change, shows it again with the new names.
class MandatoryUpdate : public boost::statechart::state<MandatoryUpdate, MapUpdatePresent> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::MandatoryUpdate>,
        boost::statechart::custom_reaction<Events::UsbRemove>, boost::statechart::custom_reaction<Events::DownloadMap>>;

    explicit MandatoryUpdate(my_context ctx);

    boost::statechart::result react(const Events::MandatoryUpdate&);
    boost::statechart::result react(const Events::UsbRemove&);
    boost::statechart::result react(const Events::DownloadMap&);
};

} // namespace States
