#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// The content-update service cannot be reached.
class NoConnection : public boost::statechart::state<NoConnection, Common> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::Retry>,
        boost::statechart::custom_reaction<Events::CancelDownload>,
        boost::statechart::custom_reaction<Events::UsbRemove>, boost::statechart::custom_reaction<Events::UsbInsert>,
        boost::statechart::custom_reaction<Events::InvalidMetadata>, boost::statechart::custom_reaction<Events::Quit>>;

    explicit NoConnection(my_context ctx);

    boost::statechart::result react(const Events::Retry&);
    boost::statechart::result react(const Events::CancelDownload&);
    boost::statechart::result react(const Events::UsbRemove&);
    boost::statechart::result react(const Events::UsbInsert&);
    boost::statechart::result react(const Events::InvalidMetadata&);
    boost::statechart::result react(const Events::Quit&);
};

} // namespace States
