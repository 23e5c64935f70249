#pragma once

#include "States/MapUpdatePresent.h"

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

namespace States {

// Nothing newer than the installed map exists.
class UpToDate : public boost::statechart::state<UpToDate, MapUpdatePresent> {
public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::UpToDate>,
        boost::statechart::custom_reaction<Events::DownloadMap>>;

    explicit UpToDate(my_context ctx);

    boost::statechart::result react(const Events::UpToDate&);
    boost::statechart::result react(const Events::DownloadMap&);
};

} // namespace States
