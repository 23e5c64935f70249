#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// A download or a downloaded map is being removed. The screen follows once
// the manager has started the removal.
class CancelDownload : public boost::statechart::state<CancelDownload, Common> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::CancelDownload>,
        boost::statechart::custom_reaction<Events::MapDeletionStarted>,
        boost::statechart::custom_reaction<Events::UsbRemove>, boost::statechart::custom_reaction<Events::Quit>,
        boost::statechart::custom_reaction<Events::InvocationFailed>>;

    explicit CancelDownload(my_context ctx);

    boost::statechart::result react(const Events::CancelDownload&);
    boost::statechart::result react(const Events::MapDeletionStarted&);
    boost::statechart::result react(const Events::UsbRemove&);
    boost::statechart::result react(const Events::Quit&);
    boost::statechart::result react(const Events::InvocationFailed&);
};

} // namespace States
