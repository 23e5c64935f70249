#pragma once

#include "States/Common.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

class UpToDate;

// An offer is shown. Every way in names the offer or resumes the one left last
// (history), so the declared initial offer is only a default.
class MapUpdatePresent
    : public boost::statechart::state<MapUpdatePresent, Common, UpToDate, boost::statechart::has_shallow_history> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::UsbRemove>>;

    explicit MapUpdatePresent(my_context ctx);

    boost::statechart::result react(const Events::UsbRemove&);
};

} // namespace States
