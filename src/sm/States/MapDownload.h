#pragma once

#include "States/NetworkOperation.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// A map download runs. The screen follows once the manager has started it.
class MapDownload : public boost::statechart::state<MapDownload, NetworkOperation> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::MapDownloadStarted>,
        boost::statechart::custom_reaction<Events::UsbBlocked>, boost::statechart::custom_reaction<Events::UsbFull>,
        boost::statechart::custom_reaction<Events::UsbTooSmall>,
        boost::statechart::custom_reaction<Events::ServerError>,
        boost::statechart::custom_reaction<Events::FinishDownload>,
        boost::statechart::custom_reaction<Events::CancelDownload>, boost::statechart::custom_reaction<Events::Quit>>;

    explicit MapDownload(my_context ctx);

    boost::statechart::result react(const Events::MapDownloadStarted&);
    boost::statechart::result react(const Events::UsbBlocked&);
    boost::statechart::result react(const Events::UsbFull&);
    boost::statechart::result react(const Events::UsbTooSmall&);
    boost::statechart::result react(const Events::ServerError&);
    boost::statechart::result react(const Events::FinishDownload&);
    boost::statechart::result react(const Events::CancelDownload&);
    boost::statechart::result react(const Events::Quit&);
};

} // namespace States
