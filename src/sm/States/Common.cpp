#include "States/Common.h"

#include "Log.h"

#include <QCoreApplication>

namespace States {

Common::Common(my_context context)
    : my_base(context)
{
    // The user interface, the USB manager, the map update manager and their
    // two threads are created before the entry record; the connections and
    // the move of each manager onto its thread follow it.
    LOG(Info) << "Entered Common state";
}

boost::statechart::result Common::react(const Events::Activate&)
{
    // A second instance was started: the user interface brings its window or
    // popup forward once it exists.
    LOG(Info) << "Got Activate event";
    return discard_event();
}

boost::statechart::result Common::react(const Events::Quit&)
{
    LOG(Info) << "Got Quit event: quitting application";
    QCoreApplication::quit();
    return discard_event();
}

} // namespace States
